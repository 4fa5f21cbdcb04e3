// The program around the main window: its buffers and the status strip that
// progress events write, the Help menu's pages (where the guide is found, the
// system information lines) and the window placement file.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <utility>

#include "commands/help_location.hpp"
#include "commands/placement_file.hpp"
#include "commands/program_state.hpp"
#include "commands/startup.hpp"
#include "commands/system_facts.hpp"
#include "core/media_sizes.hpp"
#include "platform/platform.hpp"
#include "ports/progress.hpp"
#include "state/progress.hpp"
#include "support/fake_system_facts.hpp"
#include "support/temp_dir.hpp"
#include "support/test_world.hpp"

namespace quarnex::testing {
namespace {

// Zero-filled and page-aligned for direct device transfers; a failed
// allocation leaves nothing allocated and says the program ends.
TEST(AllocateBuffers, ZeroFilledAlignedOrNothingAndTheProgramEnds) {
    ProgramState state;
    ASSERT_TRUE(AllocateBuffers(state));
    for (const auto& [buffer, size] :
         {std::pair{&state.imageBuffer, kImageBytes}, {&state.transferBuffer, kSlotStride}}) {
        EXPECT_EQ(
            std::tuple(buffer->Size(), reinterpret_cast<std::uintptr_t>(buffer->Data()) % 4096,
                       std::ranges::count(buffer->Span(), std::byte{0})),
            std::tuple(size, 0u, static_cast<std::ptrdiff_t>(size)));
    }
    int calls = 0;
    EXPECT_FALSE(AllocateBuffers(state, [&](AlignedBuffer& buffer, std::size_t size) {
        return ++calls == 1 && buffer.Allocate(size);  // the second allocation fails
    }));
    EXPECT_TRUE(state.imageBuffer.Empty());

    FakeUi ui(state);
    EXPECT_FALSE(
        AllocateBuffersOrExplain(state, ui, [](AlignedBuffer&, std::size_t) { return false; }));
    ASSERT_EQ(ui.messages.size(), 1u);
    const MessageRequest& message = ui.messages[0];
    EXPECT_EQ(message.title + "|" + message.text,
              "RorUve|Allocation Of Buffers Failed.\r\nProgram Will Exit.");
    EXPECT_TRUE(message.icon == MessageIcon::Exclamation && message.buttons == MessageButtons::Ok);
    EXPECT_TRUE(state.imageBuffer.Empty() && state.transferBuffer.Empty());
}

// Every event's status strip: label|bar|action|its path|pumps so far.
TEST(WindowProgress, EventsBecomeTheStatusStripTexts) {
    TestWorld w;
    Progress& p = w.progress;
    const StatusStrip& s = w.state.status;
    const std::string a = "|Import of Disk Image /x/y.img|/x/y.img|";
    const std::pair<std::function<void()>, std::string> steps[] = {
        {[&] { p.UnitDone(0, 999); }, "Progress        0%|0|||1"},
        {[&] { p.UnitDone(1, 8); }, "Progress        12%|12|||2"},          // 12.5 rounds to even
        {[&] { p.UnitDone(995, 999); }, "Progress      Finished|100|||3"},  // 99.6 before rounding
        {[&] { p.Doing({.kind = ActivityKind::ImportFile, .path = "/x/y.img"}); },
         "Progress      Finished|100" + a + "3"},
        {[&] { p.UnitDone(40, 100); }, "Progress        40%|40" + a + "4"},
        // Failure keeps the bar and the action; a cancel changes nothing shown.
        {[&] { p.Failed(), p.Cancelled(); }, "Progress       Failed|40" + a + "4"},
        {[&] { p.Started(); }, "Progress|0||/x/y.img|4"},
        {[&] { p.Finished(); }, "Progress      Finished|100||/x/y.img|5"},
    };
    for (const auto& [step, expected] : steps) {
        step();
        EXPECT_EQ(s.progressLabel + "|" + std::to_string(s.progressBar) + "|" + s.actionLabel +
                      "|" + s.actionLabelPath + "|" + std::to_string(w.ui.pumps),
                  expected);
    }
}

TEST(HelpLocation, ReadsTheLastFileLineOfTheHelpSectionAndFindsThePageOrFallsBack) {
    const std::pair<std::string, std::string> cases[] = {
        {"  [Help] \r\n  File =  /opt/a.htm  \r\n FILE=/opt/b.htm\r\n", "/opt/b.htm"},
        // Outside the section, or in a later one, FILE lines do not count.
        {"FILE=/opt/z.htm\r\n[HELP]\r\nFILE=/opt/a.htm\r\n[OTHER]\r\nFILE=/opt/b.htm\r\n",
         "/opt/a.htm"},
        // Without "=" the whole line; a key that begins with FILE counts.
        {"[HELP]\nFILE /opt/x.htm\n", "FILE /opt/x.htm"},
        {"[HELP]\nFilename=/opt/y.htm\nURL=/opt/z.htm\n", "/opt/y.htm"},
        {"[HELP]\rFILE=/opt/a=b.htm\r", "/opt/a=b.htm"}};  // only the first "=" separates
    for (const auto& [text, location] : cases) {
        EXPECT_EQ(ReadHelpLocation(text), location) << text;
    }
    std::string path = "C:\\Prog\\QuarnHlp\\QuarnHlp.htm", empty;
    EXPECT_EQ(MakeFileUrl(path), "file:///C:/Prog/QuarnHlp/QuarnHlp.htm");
    EXPECT_EQ(path, "C:/Prog/QuarnHlp/QuarnHlp.htm");  // changed in place
    EXPECT_EQ(MakeFileUrl(empty), "");

    // The page found, or the default.
    TempDir dir;
    const std::string app = dir.Path() + "/";
    const std::string page = app + "QuarnHlp/QuarnHlp.htm";
    const std::string location = app + "QuarnCfg/QuarnHlp.url";
    std::filesystem::create_directory(app + "QuarnCfg");
    std::filesystem::create_directory(app + "QuarnHlp");
    WriteFileText(page, "<html></html>");
    // The address of a path, as the table above pins it ("file://" + "/tmp/..." here).
    const auto url = [](std::string path) { return MakeFileUrl(path); };
    EXPECT_EQ(FindHelpFile(app), url(page));
    // A FILE line naming a missing page, or a folder, falls back to the default.
    for (const std::string& named : {app + "missing.htm", app + "QuarnHlp"}) {
        WriteFileText(location, "[help]\r\nfile=" + named + "\r\n");
        EXPECT_EQ(FindHelpFile(app), url(page)) << named;
    }
    // A page that exists wins over the default, used as written.
    const std::string other = app + "other page.htm";
    WriteFileText(other, "<html></html>");
    WriteFileText(location, "[HELP]\r\nFILE = " + other + "\r\n");
    EXPECT_EQ(FindHelpFile(app), url(other));
}  // (No page at all: the GUI's help window test.)

// The build puts the guide and its location file beside the executables.
TEST(HelpLocation, TheShippedGuideIsFoundBesideTheProgram) {
    const std::string appFolder = MakePlatform().paths->DataFolder();
    ASSERT_FALSE(appFolder.empty());
    std::string page = appFolder + "QuarnHlp/QuarnHlp.htm";
    const std::string location = ReadFileText(appFolder + "QuarnCfg/QuarnHlp.url");
    EXPECT_TRUE(location.starts_with("[HELP]\r\nFILE=") && location.ends_with(".htm\r\n"));
    EXPECT_TRUE(std::filesystem::equivalent(ReadHelpLocation(location), page)) << location;
    EXPECT_EQ(FindHelpFile(appFolder), MakeFileUrl(page));
}

TEST(SystemFacts, PrintsTheTenLinesInPrintZonesAndMemoryInWholeMegabytes) {
    FakeSystemFacts facts;
    std::vector<std::string> printed;  // (The first zone's spaces: the GUI's system window test.)
    for (const SystemInfoLine& line : SystemInfoLines(facts)) {
        printed.push_back(PrintZoneText(line).substr(14));
    }
    EXPECT_EQ(printed,
              (std::vector<std::string>{
                  "WinDIR:       /", "SysDir:       /usr/lib", "EXEName:      /opt/quarnex/quarnex",
                  "WinVer:       Linux   [6.1 Build 9029]",  // low 16 bits
                  "Processor:    AMD x86/64", "Cores:        2", "PhysMem:      8,192 MB",
                  "FreeMem:      1,536 MB", "KBType:       Enhanced 101 or 102 key keyboard",
                  "FKeys:        12"}));
    // A label that fills its zone pushes the value to the zone after.
    EXPECT_EQ(PrintZoneColumns({std::string(14, 'L'), "v"}), (std::array<int, 3>{0, 14, 42}));
    facts.version = {"", 10, 0, 19045};  // no system name
    EXPECT_EQ(SystemInfoLines(facts)[3].value, "[10.0 Build 19045]");
    // Whole megabytes, halves up; past 32 bits both halves count.
    EXPECT_EQ(MegabytesText((1ull << 20) / 2 - 1) + "|" + MegabytesText((3ull << 20) / 2) + "|" +
                  MegabytesText(1ull << 40) + "|" + MegabytesText((5ull << 32) + (1ull << 20)),
              "0 MB|2 MB|1,048,576 MB|20,481 MB");
}

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
    TestWorld world;
    const std::string appFolder = world.dir.Path() + "/";
    const std::string path = appFolder + "QuarnCfg/Quarn.cfg";
    std::filesystem::create_directory(appFolder + "QuarnCfg");
    FakeWindow loaded[4];
    SbrLoad(path, {&loaded[0], &loaded[1], &loaded[2], &loaded[3]}, kScreen);
    EXPECT_EQ(Seen(loaded), "") << "a missing file changes nothing";

    WriteFileText(path, std::string(400, 'x'));       // longer than what is saved
    FakeWindow main({-120, 300, 7000, 9000}, false);  // minimised: negative Top
    FakeWindow help({50000, 60000, 200, 12000}, true);
    FakeWindow floppy({100, 200, 2000, 3000}, false);
    const PlacementWindows saved{&main, &help, &floppy, nullptr};
    ASSERT_TRUE(SbrSave(path, saved, kScreen, world.ui));
    EXPECT_EQ(ReadFileText(path),
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
}  // namespace quarnex::testing
