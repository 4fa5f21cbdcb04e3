#include "commands/help_location.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/platform.hpp"
#include "state/program_state.hpp"
#include "support/temp_dir.hpp"

namespace quarnex {
namespace {

using testing::WriteFileText;

TEST(HelpLocation, ReadsTheLastFileLineOfTheHelpSection) {
    const std::pair<std::string, std::string> cases[] = {
        {"[help]\r\nfile=/opt/a.htm\r\n", "/opt/a.htm"},
        {"  [Help] \r\n  File =  /opt/a.htm  \r\n FILE=/opt/b.htm\r\n", "/opt/b.htm"},
        // Outside the section, or in a later one, FILE lines do not count.
        {"FILE=/opt/a.htm\r\n[HELP]\r\n", ""},
        {"[HELP]\r\nFILE=/opt/a.htm\r\n[OTHER]\r\nFILE=/opt/b.htm\r\n", "/opt/a.htm"},
        // Without "=" the whole line; a key that begins with FILE counts.
        {"[HELP]\nFILE /opt/x.htm\n", "FILE /opt/x.htm"},
        {"[HELP]\nFilename=/opt/y.htm\nURL=/opt/z.htm\n", "/opt/y.htm"},
        {"[HELP]\rFILE=/opt/a=b.htm\r", "/opt/a=b.htm"}};  // only the first "=" separates
    for (const auto& [text, location] : cases) {
        EXPECT_EQ(ReadHelpLocation(text), location) << text;
    }
}

TEST(HelpLocation, MakesFileAddresses) {
    std::string windowsPath = "C:\\Prog\\QuarnHlp\\QuarnHlp.htm";
    EXPECT_EQ(MakeFileUrl(windowsPath), "file:///C:/Prog/QuarnHlp/QuarnHlp.htm");
    EXPECT_EQ(windowsPath, "C:/Prog/QuarnHlp/QuarnHlp.htm");  // changed in place
    std::string empty;
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
    std::filesystem::remove(other);
    std::filesystem::remove(page);
    EXPECT_EQ(FindHelpFile(app), "");
}

// The build puts the guide and its location file beside the executables; the
// guide covers the topics a user needs.
TEST(HelpLocation, TheShippedGuideIsFoundBesideTheProgram) {
    const std::string appFolder =
        AppFolderFromExecutable(MakePlatform().paths->RunningExecutable());
    ASSERT_FALSE(appFolder.empty());
    const std::string page = appFolder + "QuarnHlp/QuarnHlp.htm";
    EXPECT_EQ(FindHelpFile(appFolder), "file://" + page);
    EXPECT_EQ(testing::ReadFileText(appFolder + "QuarnCfg/QuarnHlp.url"),
              "[HELP]\r\nFILE=" + page + "\r\n");
    const std::string guide = testing::ReadFileText(page);
    for (const char* topic : {"1,572,864", "1,474,560", "DISKS.TXT", "Scan Drives", "Zero",
                              "Administrative Privileges Required", "/dev/sdb", "destroys",
                              "Image File Length Invalid", "Error Saving Configuration File."}) {
        EXPECT_NE(guide.find(topic), std::string::npos) << topic;
    }
}

}  // namespace
}  // namespace quarnex
