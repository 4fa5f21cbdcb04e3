#include "commands/help_location.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/platform.hpp"
#include "state/program_state.hpp"
#include "support/temp_dir.hpp"

namespace quarnex {
namespace {

using testing::TempDir;
using testing::WriteFileText;

TEST(HelpLocation, ReadsTheLastFileLineOfTheHelpSection) {
    EXPECT_EQ(ReadHelpLocation("[help]\r\nfile=/opt/a.htm\r\n"), "/opt/a.htm");
    EXPECT_EQ(ReadHelpLocation("  [Help] \r\n  File =  /opt/a.htm  \r\n FILE=/opt/b.htm\r\n"),
              "/opt/b.htm");
    // Outside the section, or in a later one, FILE lines do not count.
    EXPECT_EQ(ReadHelpLocation("FILE=/opt/a.htm\r\n[HELP]\r\n"), "");
    EXPECT_EQ(ReadHelpLocation("[HELP]\r\nFILE=/opt/a.htm\r\n[OTHER]\r\nFILE=/opt/b.htm\r\n"),
              "/opt/a.htm");
    // A FILE line without "=" gives the whole line; a key that only begins
    // with FILE still counts.
    EXPECT_EQ(ReadHelpLocation("[HELP]\nFILE /opt/x.htm\n"), "FILE /opt/x.htm");
    EXPECT_EQ(ReadHelpLocation("[HELP]\nFilename=/opt/y.htm\nURL=/opt/z.htm\n"), "/opt/y.htm");
    // Only the first "=" separates.
    EXPECT_EQ(ReadHelpLocation("[HELP]\rFILE=/opt/a=b.htm\r"), "/opt/a=b.htm");
    EXPECT_EQ(ReadHelpLocation(""), "");
}

TEST(HelpLocation, MakesFileAddresses) {
    std::string windowsPath = "C:\\Prog\\QuarnHlp\\QuarnHlp.htm";
    EXPECT_EQ(MakeFileUrl(windowsPath), "file:///C:/Prog/QuarnHlp/QuarnHlp.htm");
    EXPECT_EQ(windowsPath, "C:/Prog/QuarnHlp/QuarnHlp.htm");  // changed in place
    std::string posixPath = "/opt/quarnex/QuarnHlp/QuarnHlp.htm";
    EXPECT_EQ(MakeFileUrl(posixPath), "file:///opt/quarnex/QuarnHlp/QuarnHlp.htm");
    std::string empty;
    EXPECT_EQ(MakeFileUrl(empty), "");
}

struct HelpFolder {
    TempDir dir;
    std::string appFolder = dir.Path() + "/";
    std::string defaultPage = appFolder + "QuarnHlp/QuarnHlp.htm";
    std::string location = appFolder + "QuarnCfg/QuarnHlp.url";

    HelpFolder() {
        std::filesystem::create_directory(appFolder + "QuarnCfg");
        std::filesystem::create_directory(appFolder + "QuarnHlp");
    }
};

TEST(HelpLocation, FindsThePageOrFallsBack) {
    HelpFolder folder;
    // Nothing there: no address, and no message can come from plain code.
    EXPECT_EQ(FindHelpFile(folder.appFolder), "");

    WriteFileText(folder.defaultPage, "<html></html>");
    EXPECT_EQ(FindHelpFile(folder.appFolder), "file://" + folder.defaultPage);

    // A FILE line naming a missing page, or a folder, falls back to the default.
    WriteFileText(folder.location, "[help]\r\nfile=" + folder.appFolder + "missing.htm\r\n");
    EXPECT_EQ(FindHelpFile(folder.appFolder), "file://" + folder.defaultPage);
    WriteFileText(folder.location, "[HELP]\r\nFILE=" + folder.appFolder + "QuarnHlp\r\n");
    EXPECT_EQ(FindHelpFile(folder.appFolder), "file://" + folder.defaultPage);

    // A page that exists wins over the default, used as written.
    const std::string other = folder.appFolder + "other page.htm";
    WriteFileText(other, "<html></html>");
    WriteFileText(folder.location, "[HELP]\r\nFILE = " + other + "\r\n");
    EXPECT_EQ(FindHelpFile(folder.appFolder), "file://" + other);

    // Neither page: empty again.
    std::filesystem::remove(other);
    std::filesystem::remove(folder.defaultPage);
    EXPECT_EQ(FindHelpFile(folder.appFolder), "");
}

// The build puts the guide and its location file beside the executables; the
// guide covers the topics a user needs.
TEST(HelpLocation, TheShippedGuideIsFoundBesideTheProgram) {
    const std::string appFolder =
        AppFolderFromExecutable(MakePlatform().paths->RunningExecutable());
    ASSERT_FALSE(appFolder.empty());
    const std::string page = appFolder + "QuarnHlp/QuarnHlp.htm";
    EXPECT_EQ(FindHelpFile(appFolder), "file://" + page);
    const std::string location = testing::ReadFileText(appFolder + "QuarnCfg/QuarnHlp.url");
    EXPECT_EQ(location, "[HELP]\r\nFILE=" + page + "\r\n");

    const std::string guide = testing::ReadFileText(page);
    for (const char* topic :
         {"1,572,864", "1,474,560", "DISKS.TXT", "Scan Drives", "Select Device", "Disks(0-999)",
          "Import From", "Export To", "Zero", "Documentation", "System", "About", "Cancel",
          "Administrative Privileges Required", "Finished", "/dev/sdb", "destroys",
          "Image File Length Invalid", "Error Saving Configuration File."}) {
        EXPECT_NE(guide.find(topic), std::string::npos) << topic;
    }
}

}  // namespace
}  // namespace quarnex
