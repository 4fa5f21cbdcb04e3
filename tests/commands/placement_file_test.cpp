#include "commands/placement_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_world.hpp"

namespace quarnex {
namespace {

constexpr ScreenTwips kScreen{19200, 14400};  // 1280 x 960 pixels at 96 dpi

// A window that records what was done to it, in order.
struct FakeWindow final : PlacementWindow {
    explicit FakeWindow(TwipRect rect = {1000, 2000, 3000, 4000}, bool visible = false)
        : rect(rect), visible(visible) {}
    bool IsVisible() const override { return visible; }
    void SetVisible(bool to) override { visible = to, calls += to ? "show " : "hide "; }
    TwipRect Geometry() const override { return rect; }
    void SetGeometry(const TwipRect& to) override { rect = to, calls += "move "; }
    TwipRect rect;
    bool visible;
    std::string calls;
};

// "Key: calls top,left,height,width; " for every window something was done to.
std::string Seen(const FakeWindow (&windows)[4]) {
    const char* names[] = {"QrnF", "HelpF", "FlpyIDF", "USBIDF"};
    std::string seen;
    for (int i = 0; i < 4; ++i) {
        const TwipRect& r = windows[i].rect;
        if (!windows[i].calls.empty()) {
            seen += names[i] + (": " + windows[i].calls) + std::to_string(r.top) + "," +
                    std::to_string(r.left) + "," + std::to_string(r.height) + "," +
                    std::to_string(r.width) + "; ";
        }
    }
    return seen;
}

TEST(PlacementReader, ReadsKeysNumbersAndLimitsAsTheFileMeansThem) {
    using namespace std::string_literals;
    const struct {
        std::string text, seen;
        ScreenTwips screen = kScreen;
    } cases[] = {
        // Visibility before the move; a missing value keeps what the window had.
        {"[WINDOWS]\r\nqrnf=1,,100 ,200,7000,9000\r\nFlpyIDF = 1, 100\r\nHelpF = 0, 10, 20, 30, 40",
         "QrnF: show move 100,200,7000,9000; HelpF: hide move 10,20,500,500; "
         "FlpyIDF: show move 100,2000,3000,4000; "},
        // Positions kept 500 twips inside the screen, sizes at least 500.
        {"[Windows]\r\nQrnF = 1, -5, 20000, 12, 300\r\nHelpF = 1, 99999, -1, 7000, 499\r\n",
         "QrnF: show move 0,18700,500,500; HelpF: show move 13900,0,7000,500; "},
        {"[Windows]\r\nQrnF = 1, 100, 100, 501, 1\r\n",
         "QrnF: show move 0,1,501,500; ",
         {501, 500}},
        // Only [WINDOWS] counts; keys match by their first characters, and a
        // dialog takes two numbers after the flag.
        {"QrnF = 1, 1, 1, 1000, 1000\r\n[QRNF]\r\nQrnF = 1, 2, 2, 1000, 1000\r\n"
         "[Other]\r\nHelpF = 1, 3, 3, 1000, 1000\r\n   [windows]   \r\n"
         "|------| = Visible, Top, Left [, Height, Width]\r\nUnknown = 1, 4, 4\r\n"
         "  helpfile = 1 , , 600,  700,,800,900  \r\nUSBIDF = 1, 50, 60, 7777, 8888\r\n",
         "HelpF: show move 600,700,800,900; USBIDF: show move 50,60,3000,4000; "},
        // "=" last applies nothing; no "=" reads the key as the flag, 0.
        {"[WINDOWS]\nFlpyIDF =\nUSBIDF\n", "USBIDF: hide 1000,2000,3000,4000; "},
        // LF and lone CR end lines too.
        {"[WINDOWS]\rQrnF = 1, 11, 22, 1000, 1000\rHelpF = 1, 33\n",
         "QrnF: show move 11,22,1000,1000; HelpF: show move 33,2000,3000,4000; "},
        // Halves round to even; a number is read from a value's start.
        {"[WINDOWS]\r\nQrnF = 0.6, 100.5, 101.5, 1000.49abc, x\r\nHelpF = 0.4, -0.5\r\n",
         "QrnF: show move 100,102,1000,500; HelpF: hide move 0,2000,3000,4000; "},
        // A number beyond 32 bits stops the reading; what came before it counts.
        {"[WINDOWS]\r\nQrnF = 1, 100, 200, 7000, 9000\r\nHelpF = 1, 300, 99999999999, 5, 5\r\n"
         "FlpyIDF = 1, 10, 10\r\n",
         "QrnF: show move 100,200,7000,9000; HelpF: show move 300,2000,3000,4000; "},
        {"[WINDOWS]\r\nQrnF = 1, 0, 0, 2147483647, 1000\r\nHelpF = 2147483648\r\n",
         "QrnF: show move 0,0,2147483647,1000; "},
        {"[WINDOWS]\r\nQrnF = -2147483649\r\n", ""},
        // Nothing makes the reader stumble.
        {"[WINDOWS]\r\nUSBIDF\0\xff = -, ., abc\tx, 9e9\r\nHelpF = \r\n"s,
         "USBIDF: hide move 0,0,3000,4000; "}};
    for (const auto& c : cases) {
        FakeWindow windows[4];  // hidden, at 1000, 2000, 3000, 4000
        for (const PlacementLine& line : ParsePlacementText(c.text, c.screen)) {
            ApplyPlacementLine(line, windows[static_cast<int>(line.key)]);
        }
        EXPECT_EQ(Seen(windows), c.seen) << c.text;
    }
}

TEST(PlacementFile, WritesClampedFramesOverOldContentAndReportsAFailedSave) {
    testing::TestWorld world;
    const std::string appFolder = world.dir.Path() + "/";
    const std::string path = appFolder + "QuarnCfg/Quarn.cfg";
    std::filesystem::create_directory(appFolder + "QuarnCfg");
    FakeWindow loaded[4];
    SbrLoad(path, {&loaded[0], &loaded[1], &loaded[2], &loaded[3]}, kScreen);
    EXPECT_EQ(Seen(loaded), "") << "a missing file changes nothing";

    testing::WriteFileText(path, std::string(400, 'x'));  // longer than what is saved
    FakeWindow main({-120, 300, 7000, 9000}, false);      // minimised: negative Top
    FakeWindow help({50000, 60000, 200, 12000}, true);
    FakeWindow floppy({100, 200, 2000, 3000}, false);
    const PlacementWindows saved{&main, &help, &floppy, nullptr};
    ASSERT_TRUE(SbrSave(path, saved, kScreen, world.ui));
    EXPECT_EQ(testing::ReadFileText(path),
              "[WINDOWS]\r\n|------| = Visible, Top, Left [, Height, Width]\r\n"
              "QrnF = 1, 0, 300, 7000, 9000\r\nHelpF = 1, 13900, 18700, 500, 12000\r\n"
              "FlpyIDF = 0, 100, 200\r\nUSBIDF = 0, 0, 0\r\n\r\n");
    // Without the folder the save fails, says so, and creates nothing.
    std::filesystem::remove_all(appFolder + "QuarnCfg");
    EXPECT_FALSE(SbrSave(path, saved, kScreen, world.ui));
    ASSERT_EQ(world.ui.messages.size(), 1u);
    const MessageRequest& message = world.ui.LastMessage();
    EXPECT_EQ(message.title + "|" + message.text,
              "ConfigMSbrSave|Error Saving Configuration File.\n" + path + "\n2");  // ENOENT
    EXPECT_TRUE(message.icon == MessageIcon::Critical && message.buttons == MessageButtons::Ok);
    EXPECT_FALSE(std::filesystem::exists(appFolder + "QuarnCfg"));
}

}  // namespace
}  // namespace quarnex
