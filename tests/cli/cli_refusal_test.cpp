// What quarnex-cli refuses, with which exit code and message, and that a
// refused command leaves everything as it was.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "cli/cli_runner.hpp"
#include "cli/cli_test_store.hpp"
#include "frame/layout.hpp"
#include "support/temp_dir.hpp"

namespace quarnex::testing {
namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CliUsage, HelpVersionAndBadUsage) {
    const CliResult version = RunCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "quarnex-cli 1.0.0\n");

    const CliResult help = RunCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"scan", "list", "get", "put", "describe", "format", "create",
                                "backup", "restore", "image", "floppy"}) {
        EXPECT_TRUE(Contains(help.out, std::string("  ") + command + " ")) << command;
    }
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"list", "--help"},
                                               {"put", "--help"},
                                               {"image", "new", "--help"},
                                               {"floppy", "write", "--help"}}) {
        const CliResult sub = RunCli(args);
        EXPECT_EQ(sub.exitCode, 0) << args[0];
        EXPECT_TRUE(Contains(sub.out, "Usage:")) << args[0];
    }

    // Exit 2 for every kind of wrong usage, before anything is touched.
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"frobnicate"},
             {"get", "/nonexistent", "0", "x.img"},
             {"get", "/nonexistent", "1000", "x.img"},
             {"get", "/nonexistent", "seven", "x.img"},
             {"get", "/nonexistent", "-3", "x.img"},
             {"put", "/nonexistent", "1"},
             {"list"},
             {"list", "/nonexistent", "--jsn"},
             {"format", "/nonexistent", "--id", "X"},
             {"floppy", "read", "c", "x.img"},
             {"image"},
             {"get", "/nonexistent", "1", ""},
             {"image", "new", ""},
             {"restore", "", "/nonexistent"},
         }) {
        const CliResult bad = RunCli(args);
        EXPECT_EQ(bad.exitCode, 2) << (args.empty() ? "(none)" : args[0]);
        EXPECT_FALSE(bad.err.empty());
    }
}

TEST(CliRefusals, StoreArgumentsThatAreNotStores) {
    TempDir dir;
    const CliResult missing = RunCli({"list", dir / "none.img"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(Contains(missing.err, "quarnex-cli: Store Not Found\n"));

    MakeSparseFile(dir / "short.img", kStoreBytes - 1);
    const CliResult shorter = RunCli({"list", dir / "short.img"});
    EXPECT_EQ(shorter.exitCode, 1);
    EXPECT_TRUE(Contains(shorter.err,
                         "quarnex-cli: Image File Length Invalid\n"
                         "  Not a 1000 Floppy Image File.\n  " +
                             dir / "short.img" + "\n  File Length = 1,572,863,999\n"))
        << shorter.err;

    MakeSparseFile(dir / "blank.img", kStoreBytes);
    const CliResult blank = RunCli({"list", dir / "blank.img"});
    EXPECT_EQ(blank.exitCode, 1);
    EXPECT_TRUE(Contains(blank.err, "quarnex-cli: Not A Store\n"));

    const CliResult directory = RunCli({"list", dir.Path()});
    EXPECT_EQ(directory.exitCode, 1);
    EXPECT_TRUE(Contains(directory.err, "Neither a block device nor a store image file."));

    // A store the user may not read: the system's own error text.
    const std::string store = CopyOfMasterStore(dir, "private.img");
    ::chmod(dir.Path().c_str(), 0755);
    ::chmod(store.c_str(), 0600);
    const CliResult unreadable = RunCli({"list", store}, CliOptions{"", true, false});
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_TRUE(Contains(unreadable.err, "Permission denied")) << unreadable.err;
    EXPECT_TRUE(unreadable.out.empty());
}

TEST(CliRefusals, RefusedCommandsChangeNothing) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    const std::string image = dir / "in.img";
    WriteFileBytes(image, PatternImage(1, "NEW"));
    const std::vector<unsigned char> slot1 = Region(store, SlotOffset(1), kImageBytes);
    const std::vector<unsigned char> slot0 = Region(store, 0, kImageBytes);

    // No terminal and no --yes: the confirmation is refused.
    const CliResult put = RunCli({"put", store, "1", image});
    EXPECT_EQ(put.exitCode, 1);
    EXPECT_TRUE(Contains(put.err, "quarnex-cli: write " + image + " into slot 001 [FDISK001] of " +
                                      store +
                                      "? Its image and description are replaced.\n"
                                      "  refused: standard input is not a terminal; give "
                                      "--yes to confirm\n"))
        << put.err;
    // Typed answers on a pipe do not count as a confirmation either.
    EXPECT_EQ(RunCli({"put", store, "1", image}, CliOptions{"y\n", false, false}).exitCode, 1);
    EXPECT_EQ(RunCli({"describe", store, "1", "text"}).exitCode, 1);
    EXPECT_EQ(RunCli({"format", store, "--id", "X", "--base", "Y"}).exitCode, 1);
    EXPECT_EQ(RunCli({"restore", store, dir / "other.img"}).exitCode, 1);

    // An image file of the wrong length: the program's own message.
    WriteFileBytes(dir / "short.img", std::vector<unsigned char>(kImageBytes - 1, 1));
    const CliResult wrong = RunCli({"put", store, "1", dir / "short.img", "--yes"});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(Contains(wrong.err,
                         "quarnex-cli: Image File Length Invalid\n"
                         "  Not a 1.44 MB Floppy Image File.\n  " +
                             dir / "short.img" + "\n  File Length = 1,474,559\n"))
        << wrong.err;
    const CliResult absent = RunCli({"put", store, "1", dir / "absent.img", "--yes"});
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_TRUE(Contains(absent.err, "Error # 0x")) << absent.err;

    // A whole-store file of the wrong length is refused before anyone is asked.
    const CliResult restore = RunCli({"restore", image, store});
    EXPECT_EQ(restore.exitCode, 1);
    EXPECT_TRUE(Contains(restore.err, "Not a 1000 Floppy Image File.")) << restore.err;
    EXPECT_FALSE(Contains(restore.err, "refused"));

    // Copying a store into itself would destroy it.
    EXPECT_EQ(RunCli({"backup", store, store, "--yes"}).exitCode, 1);
    EXPECT_EQ(RunCli({"restore", store, store, "--yes"}).exitCode, 1);
    EXPECT_EQ(RunCli({"get", store, "1", store, "--yes"}).exitCode, 1);
    EXPECT_EQ(FileSize(store), kStoreBytes);

    // Existing files are not replaced without confirmation.
    WriteFileText(dir / "keep.img", "precious");
    EXPECT_EQ(RunCli({"get", store, "1", dir / "keep.img"}).exitCode, 1);
    EXPECT_EQ(RunCli({"image", "new", dir / "keep.img"}).exitCode, 1);
    EXPECT_EQ(RunCli({"image", "zero", dir / "keep.img"}).exitCode, 1);
    EXPECT_EQ(RunCli({"create", dir / "keep.img", "--id", "A", "--base", "B"}).exitCode, 1);
    EXPECT_EQ(RunCli({"backup", store, dir / "keep.img"}).exitCode, 1);
    EXPECT_EQ(ReadFileText(dir / "keep.img"), "precious");
    // Nor the descriptions file a backup writes beside its image.
    WriteFileText(dir / "new.txt", "notes");
    const CliResult companion = RunCli({"backup", store, dir / "new.img"});
    EXPECT_EQ(companion.exitCode, 1);
    EXPECT_TRUE(Contains(companion.err, "replace the existing file " + dir / "new.txt" + "?"))
        << companion.err;
    EXPECT_EQ(FileSizeOrZero(dir / "new.img"), 0u);
    EXPECT_EQ(ReadFileText(dir / "new.txt"), "notes");

    EXPECT_EQ(Region(store, SlotOffset(1), kImageBytes), slot1);
    EXPECT_EQ(Region(store, 0, kImageBytes), slot0);
}

TEST(CliRefusals, FloppyPromptIsAnsweredCancelWithoutTerminal) {
    TempDir dir;
    if (::access("/dev/fd0", F_OK) == 0) {
        GTEST_SKIP() << "this machine has a floppy drive";
    }
    const CliResult read = RunCli({"floppy", "read", "a", dir / "f.img"});
    EXPECT_EQ(read.exitCode, 1);
    EXPECT_TRUE(Contains(read.err,
                         "quarnex-cli: (I1) Importing Image From Drive A:\n"
                         "  Insert a 1.44 MB Floppy Disk Into Drive A:\n"
                         "  (answered Cancel: standard input is not a terminal)\n"))
        << read.err;
    EXPECT_NE(::access((dir / "f.img").c_str(), F_OK), 0);
}

}  // namespace
}  // namespace quarnex::testing
