// The Help menu's pages: where the guide is found, and the system
// information lines.

#include <gtest/gtest.h>

#include <filesystem>

#include "commands/help_location.hpp"
#include "commands/system_facts.hpp"
#include "platform/platform.hpp"
#include "support/fake_system_facts.hpp"
#include "support/temp_dir.hpp"

namespace quarnex {
namespace {

using testing::WriteFileText;

TEST(HelpLocation, ReadsTheLastFileLineOfTheHelpSectionAndMakesFileAddresses) {
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
}

TEST(HelpLocation, FindsThePageOrFallsBack) {
    testing::TempDir dir;
    const std::string app = dir.Path() + "/";
    const std::string page = app + "QuarnHlp/QuarnHlp.htm";
    const std::string location = app + "QuarnCfg/QuarnHlp.url";
    std::filesystem::create_directory(app + "QuarnCfg");
    std::filesystem::create_directory(app + "QuarnHlp");
    WriteFileText(page, "<html></html>");
    EXPECT_EQ(FindHelpFile(app), "file://" + page);
    // A FILE line naming a missing page, or a folder, falls back to the default.
    for (const std::string& named : {app + "missing.htm", app + "QuarnHlp"}) {
        WriteFileText(location, "[help]\r\nfile=" + named + "\r\n");
        EXPECT_EQ(FindHelpFile(app), "file://" + page) << named;
    }
    // A page that exists wins over the default, used as written.
    const std::string other = app + "other page.htm";
    WriteFileText(other, "<html></html>");
    WriteFileText(location, "[HELP]\r\nFILE = " + other + "\r\n");
    EXPECT_EQ(FindHelpFile(app), "file://" + other);
    std::filesystem::remove(page);
    std::filesystem::remove(other);
    EXPECT_EQ(FindHelpFile(app), "");
}

// The build puts the guide and its location file beside the executables.
TEST(HelpLocation, TheShippedGuideIsFoundBesideTheProgram) {
    const std::string appFolder = MakePlatform().paths->DataFolder();
    ASSERT_FALSE(appFolder.empty());
    const std::string page = appFolder + "QuarnHlp/QuarnHlp.htm";
    EXPECT_EQ(FindHelpFile(appFolder), "file://" + page);
    EXPECT_EQ(testing::ReadFileText(appFolder + "QuarnCfg/QuarnHlp.url"),
              "[HELP]\r\nFILE=" + page + "\r\n");
}

TEST(SystemFacts, PrintsTheTenLinesInPrintZonesAndMemoryInWholeMegabytes) {
    testing::FakeSystemFacts facts;
    const auto lines = SystemInfoLines(facts);
    std::vector<std::string> printed;
    for (const SystemInfoLine& line : lines) {
        printed.push_back(PrintZoneText(line).substr(14));
        EXPECT_EQ(PrintZoneText(line).substr(0, 14), std::string(14, ' '));
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

}  // namespace
}  // namespace quarnex
