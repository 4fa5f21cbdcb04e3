#include "commands/placement_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "support/test_world.hpp"

namespace quarnex {
namespace {

using testing::ReadFileText;
using testing::TempDir;
using testing::WriteFileText;

constexpr ScreenTwips kScreen{19200, 14400};  // 1280 x 960 pixels at 96 dpi

// A window that records what was done to it, in order.
class FakeWindow final : public PlacementWindow {
  public:
    explicit FakeWindow(TwipRect rect = {1000, 2000, 3000, 4000}, bool visible = false)
        : rect_(rect), visible_(visible) {}

    bool IsVisible() const override { return visible_; }
    void SetVisible(bool visible) override {
        visible_ = visible;
        calls.push_back(visible ? "show" : "hide");
    }
    TwipRect Geometry() const override { return rect_; }
    void SetGeometry(const TwipRect& rect) override {
        rect_ = rect;
        calls.push_back("move");
    }

    const TwipRect& Rect() const { return rect_; }
    std::vector<std::string> calls;

  private:
    TwipRect rect_;
    bool visible_;
};

struct FourWindows {
    FakeWindow main, help, floppy, usb;
    PlacementWindows All() { return {&main, &help, &floppy, &usb}; }
    void Load(std::string_view text, ScreenTwips screen = kScreen) {
        for (const PlacementLine& line : ParsePlacementText(text, screen)) {
            PlacementWindow* target = line.key == PlacementKey::QrnF      ? &main
                                      : line.key == PlacementKey::HelpF   ? &help
                                      : line.key == PlacementKey::FlpyIDF ? &floppy
                                                                          : &usb;
            ApplyPlacementLine(line, *target);
        }
    }
};

void ExpectRect(const FakeWindow& window, TwipRect expected) {
    EXPECT_EQ(window.Rect().top, expected.top);
    EXPECT_EQ(window.Rect().left, expected.left);
    EXPECT_EQ(window.Rect().height, expected.height);
    EXPECT_EQ(window.Rect().width, expected.width);
}

TEST(PlacementReader, ReadsTheDocumentedEdgeCases) {
    FourWindows w;
    w.Load(
        "[WINDOWS]\r\n"
        "qrnf=1,,100 ,200,7000,9000\r\n"
        "FlpyIDF = 1, 100\r\n"
        "HelpF = 0, 10, 20, 30, 40\r\n");
    EXPECT_TRUE(w.main.IsVisible());
    ExpectRect(w.main, {100, 200, 7000, 9000});
    // Only the flag and Top: shown, Top set, Left and size as they were.
    EXPECT_TRUE(w.floppy.IsVisible());
    ExpectRect(w.floppy, {100, 2000, 3000, 4000});
    EXPECT_FALSE(w.help.IsVisible());
    ExpectRect(w.help, {10, 20, 500, 500});
    // Visibility before the move.
    EXPECT_EQ(w.main.calls, (std::vector<std::string>{"show", "move"}));
    EXPECT_EQ(w.help.calls, (std::vector<std::string>{"hide", "move"}));
    EXPECT_TRUE(w.usb.calls.empty());

    FourWindows clamped;
    clamped.Load("[Windows]\r\nQrnF = 1, -5, 20000, 7000, 300\r\n");
    ExpectRect(clamped.main, {0, 18700, 7000, 500});
    clamped.Load("[Windows]\r\nQrnF = 1, 99999, -1, 12, 499\r\n");
    ExpectRect(clamped.main, {13900, 0, 500, 500});
}

TEST(PlacementReader, HonoursSectionsKeysAndSeparators) {
    FourWindows w;
    w.Load(
        "QrnF = 1, 1, 1, 1000, 1000\r\n"              // before any section: ignored
        "[QRNF]\r\nQrnF = 1, 2, 2, 1000, 1000\r\n"    // reserved section: ignored
        "[Other]\r\nHelpF = 1, 3, 3, 1000, 1000\r\n"  // section of no meaning
        "   [windows]   \r\n"
        "|------| = Visible, Top, Left [, Height, Width]\r\n"
        "Unknown = 1, 4, 4\r\n"
        "  helpfile = 1 , , 600,  700,,800,900  \r\n"  // key matched by its first characters
        "USBIDF = 1, 50, 60, 7777, 8888\r\n");         // two numbers only after the flag
    EXPECT_TRUE(w.main.calls.empty());
    EXPECT_TRUE(w.help.IsVisible());
    ExpectRect(w.help, {600, 700, 800, 900});
    ExpectRect(w.usb, {50, 60, 3000, 4000});
    EXPECT_TRUE(w.floppy.calls.empty());

    // "=" as the last character applies nothing; no "=" reads the key as the
    // flag, which is 0 and hides the window.
    FourWindows edge;
    edge.floppy.SetVisible(true);
    edge.usb.SetVisible(true);
    edge.floppy.calls.clear();
    edge.usb.calls.clear();
    edge.Load("[WINDOWS]\nFlpyIDF =\nUSBIDF\n");
    EXPECT_TRUE(edge.floppy.calls.empty());
    EXPECT_FALSE(edge.usb.IsVisible());
    EXPECT_EQ(edge.usb.calls, (std::vector<std::string>{"hide"}));

    // LF and lone CR line ends read like CR LF.
    FourWindows ends;
    ends.Load("[WINDOWS]\rQrnF = 1, 11, 22, 1000, 1000\rHelpF = 1, 33\n");
    ExpectRect(ends.main, {11, 22, 1000, 1000});
    EXPECT_EQ(ends.help.Rect().top, 33);
}

TEST(PlacementReader, RoundsHalvesToEvenAndReadsLeadingNumbers) {
    FourWindows w;
    w.Load("[WINDOWS]\r\nQrnF = 0.6, 100.5, 101.5, 1000.49abc, x\r\nHelpF = 0.4, -0.5\r\n");
    EXPECT_TRUE(w.main.IsVisible());
    ExpectRect(w.main, {100, 102, 1000, 500});
    EXPECT_FALSE(w.help.IsVisible());
    EXPECT_EQ(w.help.Rect().top, 0);
}

TEST(PlacementReader, ANumberTooLargeStopsTheReading) {
    FourWindows w;
    w.Load(
        "[WINDOWS]\r\n"
        "QrnF = 1, 100, 200, 7000, 9000\r\n"
        "HelpF = 1, 300, 99999999999, 5000, 5000\r\n"
        "FlpyIDF = 1, 10, 10\r\n");
    ExpectRect(w.main, {100, 200, 7000, 9000});
    // The help line's flag and Top came before the failure; nothing after it.
    EXPECT_TRUE(w.help.IsVisible());
    ExpectRect(w.help, {300, 2000, 3000, 4000});
    EXPECT_TRUE(w.floppy.calls.empty());

    // The largest 32-bit value is still a number; one more is not.
    FourWindows edge;
    edge.Load("[WINDOWS]\r\nQrnF = 1, 0, 0, 2147483647, 1000\r\nHelpF = 2147483648\r\n");
    EXPECT_EQ(edge.main.Rect().height, 2147483647);
    EXPECT_TRUE(edge.help.calls.empty());
    FourWindows negative;
    negative.Load("[WINDOWS]\r\nQrnF = -2147483649\r\n");
    EXPECT_TRUE(negative.main.calls.empty());
}

TEST(PlacementReader, ClampsToTinyScreens) {
    EXPECT_EQ(ClampPosition(100, 500), 0);
    EXPECT_EQ(ClampPosition(100, 300), 0);
    EXPECT_EQ(ClampPosition(100, 501), 1);
    EXPECT_EQ(ClampPosition(1, 501), 1);
    EXPECT_EQ(ClampPosition(-1, 501), 0);
    EXPECT_EQ(ClampSize(499), 500);
    EXPECT_EQ(ClampSize(501), 501);
}

// Whatever the file holds, the reader neither crashes nor hands out a value
// outside the limits.
TEST(PlacementReader, SurvivesRandomInput) {
    static constexpr std::string_view kPieces[] = {
        "[WINDOWS]", "[QRNF]",     "[",
        "]",         "QrnF",       "helpf",
        "FLPYIDF",   "usbidf",     "=",
        ",",         " ",          ",,",
        "\r\n",      "\n",         "\r",
        "-",         ".",          "0",
        "1",         "9",          "500",
        "19200",     "2147483647", "99999999999999999999",
        "1e308",     "abc",        std::string_view("\0", 1),
        "\xff",      "\t"};
    std::mt19937 random(20240601);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
    std::uniform_int_distribution<int> length(0, 80);
    std::uniform_int_distribution<int> extent(-1000, 30000);
    std::size_t linesRead = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text = round % 2 == 0 ? "[WINDOWS]\r\n" : "";
        for (int i = length(random); i > 0; --i) {
            text += kPieces[pick(random)];
        }
        const ScreenTwips screen{extent(random), extent(random)};
        const std::vector<PlacementLine> lines = ParsePlacementText(text, screen);
        linesRead += lines.size();
        for (const PlacementLine& line : lines) {
            if (line.top) {
                EXPECT_GE(*line.top, 0);
                EXPECT_LE(*line.top, std::max(0, screen.height - kPlacementMinimum));
            }
            if (line.left) {
                EXPECT_GE(*line.left, 0);
                EXPECT_LE(*line.left, std::max(0, screen.width - kPlacementMinimum));
            }
            if (line.height) {
                EXPECT_GE(*line.height, kPlacementMinimum);
            }
            if (line.width) {
                EXPECT_GE(*line.width, kPlacementMinimum);
            }
            const bool dialog =
                line.key == PlacementKey::FlpyIDF || line.key == PlacementKey::USBIDF;
            if (dialog) {
                EXPECT_FALSE(line.height || line.width);
            }
        }
    }
    EXPECT_GT(linesRead, 100u);  // the generator does reach the window lines
}

TEST(PlacementWriter, WritesTheFileByteForByte) {
    FakeWindow main({-120, 300, 7000, 9000}, false);  // minimised: negative Top
    FakeWindow help({50000, 60000, 200, 12000}, true);
    FakeWindow floppy({100, 200, 3000, 3000}, false);
    const PlacementWindows windows{&main, &help, &floppy, nullptr};
    EXPECT_EQ(PlacementText(windows, kScreen),
              "[WINDOWS]\r\n"
              "|------| = Visible, Top, Left [, Height, Width]\r\n"
              "QrnF = 1, 0, 300, 7000, 9000\r\n"
              "HelpF = 1, 13900, 18700, 500, 12000\r\n"
              "FlpyIDF = 0, 100, 200\r\n"
              "USBIDF = 0, 0, 0\r\n"
              "\r\n");
    // On a screen no higher than 500 twips a position is written as 0.
    EXPECT_NE(PlacementText(windows, {400, 400}).find("HelpF = 1, 0, 0, 500, 12000\r\n"),
              std::string::npos);
}

TEST(PlacementFile, SavesAndLoadsThroughTheFile) {
    testing::TestWorld world;
    const std::string appFolder = world.dir.Path() + "/";
    std::filesystem::create_directory(appFolder + "QuarnCfg");
    const std::string path = appFolder + "QuarnCfg/Quarn.cfg";

    // A missing file changes nothing and says nothing.
    FourWindows untouched;
    SbrLoad(appFolder, untouched.All(), kScreen);
    EXPECT_TRUE(untouched.main.calls.empty() && untouched.help.calls.empty());

    WriteFileText(path, "old content that is much longer than the new file will be ...");
    FakeWindow main({150, 450, 7500, 9600}, true);
    FakeWindow help({600, 900, 4800, 9900}, true);
    FakeWindow floppy({1500, 3000, 2000, 4000}, false);
    FakeWindow usb({1650, 3300, 2000, 4000}, true);
    ASSERT_TRUE(SbrSave(appFolder, {&main, &help, &floppy, &usb}, kScreen, world.ui));
    EXPECT_TRUE(world.ui.messages.empty());
    EXPECT_EQ(ReadFileText(path),
              "[WINDOWS]\r\n|------| = Visible, Top, Left [, Height, Width]\r\n"
              "QrnF = 1, 150, 450, 7500, 9600\r\nHelpF = 1, 600, 900, 4800, 9900\r\n"
              "FlpyIDF = 0, 1500, 3000\r\nUSBIDF = 1, 1650, 3300\r\n\r\n");

    FourWindows loaded;
    loaded.main.SetVisible(false);
    loaded.help.SetVisible(false);
    loaded.floppy.SetVisible(true);
    SbrLoad(appFolder, loaded.All(), kScreen);
    EXPECT_TRUE(loaded.main.IsVisible());
    ExpectRect(loaded.main, {150, 450, 7500, 9600});
    EXPECT_TRUE(loaded.help.IsVisible());
    ExpectRect(loaded.help, {600, 900, 4800, 9900});
    EXPECT_FALSE(loaded.floppy.IsVisible());
    ExpectRect(loaded.floppy, {1500, 3000, 3000, 4000});  // dialogs keep their size
    EXPECT_TRUE(loaded.usb.IsVisible());
    ExpectRect(loaded.usb, {1650, 3300, 3000, 4000});
}

TEST(PlacementFile, ReportsAFailedSave) {
    testing::TestWorld world;
    const std::string appFolder = world.dir.Path() + "/";  // no QuarnCfg folder
    FourWindows windows;
    EXPECT_FALSE(SbrSave(appFolder, windows.All(), kScreen, world.ui));
    ASSERT_EQ(world.ui.messages.size(), 1u);
    const MessageRequest& message = world.ui.LastMessage();
    EXPECT_EQ(message.title, "ConfigMSbrSave");
    EXPECT_EQ(
        message.text,
        "Error Saving Configuration File.\n" + appFolder + "QuarnCfg/Quarn.cfg\n2");  // ENOENT
    EXPECT_EQ(message.icon, MessageIcon::Critical);
    EXPECT_EQ(message.buttons, MessageButtons::Ok);
    EXPECT_FALSE(std::filesystem::exists(appFolder + "QuarnCfg"));  // never created
}

}  // namespace
}  // namespace quarnex
