// What quarnex-cli refuses, with which exit code and message, and that a
// refused command leaves everything as it was.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <tuple>

#include "cli/cli_runner.hpp"
#include "core/media_sizes.hpp"

namespace quarnex::testing {
namespace {

using Args = std::vector<std::string>;

TEST(CliUsage, HelpVersionAndBadUsage) {
    ExpectRun({"--version"}, 0, "", "quarnex-cli 1.0.0\n");
    ExpectRun({"--help"}, 0, "",
              "Exit codes: 0 success, 1 the operation failed or was refused, 2 wrong usage.\n");
    std::vector<std::pair<Args, std::string>> cases{
        {{"get", "/x", "1", ""}, "an empty path is not a file"}};
    // Exit 2 for every kind of wrong usage, before anything is touched.
    for (const char* line : {"", "frobnicate", "put /x 1", "list /x --jsn", "format /x --id X",
                             "floppy read c x.img", "image"}) {
        cases.push_back({Words(line, {}), "Run with --help for more information."});
    }
    // Slot numbers are decimal: what C would read as octal or hexadecimal is
    // refused with the reason, never taken for another slot.
    const std::string rule = "' is not a slot number: decimal digits only, 1..999";
    for (const std::string slot : {"1000", "0x10", "1e2", "5 ", "", "+5", "0000"}) {
        cases.push_back({{"describe", "/x", slot, "text"}, "'" + slot + rule});
    }
    // IDs a volume label cannot hold are refused, before any file is made.
    const std::string x = "/nonexistent/x.img";
    const auto label = [](const std::string& option, const std::string& shown) {
        return option + ": a volume label cannot hold \"" + shown +
               "\": use ASCII letters, digits, spaces and punctuation\n";
    };
    cases.push_back({{"create", x, "--id", "a\ab", "--base", "B"}, label("--id", "\\x07")});
    cases.push_back({{"format", x, "--id", "A", "--base", "Caf\xC3\xA9 \x7F\xC3\xA9"},
                     label("--base", "\xC3\xA9\\x7f")});
    cases.push_back({{"image", "new", x, "--id", "line\nbreak"}, label("--id", "\\x0a")});
    for (const auto& [args, message] : cases) {
        ExpectRun(args, 2, message);
    }
}

TEST(CliRefusals, RefusedCommandsChangeNothing) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    const std::string image = dir / "in.img";
    WriteFileBytes(image, PatternImage(1, "NEW"));
    WriteFileBytes(dir / "short.img", std::vector<unsigned char>(kImageBytes - 1, 1));
    WriteFileText(dir / "keep.img", "precious");
    WriteFileText(dir / "new.txt", "notes");
    MakeSparseFile(dir / "short-store.img", kStoreBytes - 1);
    MakeSparseFile(dir / "blank-store.img", kStoreBytes);
    ::mkdir((dir / "nodesc.txt").c_str(), 0755);  // a backup without it is not whole
    const std::vector<unsigned char> slots01 = ReadFileBytes(store, 0, SlotOffset(2));
    const std::string self = "is the store itself; refused";
    ::link(store.c_str(), (dir / "link.img").c_str());
    const std::string replace = "replace the existing file " + dir / "keep.img" + "?";
    std::vector<std::pair<Args, std::string>> refused{
        // Store arguments that are not stores.
        {{"list", dir / "none.img"}, "quarnex-cli: Store Not Found\n"},
        {{"list", dir / "short-store.img"},
         "quarnex-cli: Image File Length Invalid\n  Not a 1000 Floppy Image File.\n  " +
             dir / "short-store.img" + "\n  File Length = 1,572,863,999\n"},
        {{"list", dir / "blank-store.img"}, "quarnex-cli: Not A Store\n"},
        {{"list", dir.Path()}, "Neither a block device nor a store image file."},
        // No terminal and no --yes: the confirmation is refused.
        {{"put", store, "1", image},
         "quarnex-cli: write " + image + " into slot 001 [FDISK001] of " + store +
             "? Its image and description are replaced.\n"
             "  refused: standard input is not a terminal; give --yes to confirm\n"},
        {{"describe", store, "1", "text"}, "change the description of slot 001"},
        {{"format", store, "--id", "X", "--base", "Y"}, "format the store " + store + "?"},
        {{"format", dir / "blank-store.img", "--id", "X", "--base", "Y"},
         dir / "blank-store.img" + " does not hold a store. Format it as one?"},
        {{"restore", store, dir / "blank-store.img"}, "Everything on it is replaced."},
        // Copying a store into itself would destroy it.
        {{"backup", store, store, "--yes"}, self},
        {{"get", store, "1", dir / "link.img", "--yes"}, dir / "link.img " + self},
        // Existing files are not replaced unasked, nor the descriptions file
        // a backup writes beside its image.
        {{"get", store, "1", dir / "keep.img"}, replace},
        {{"backup", store, dir / "keep.img"}, replace},
        {{"backup", store, dir / "new.img"}, "replace the existing file " + dir / "new.txt" + "?"},
        // Files of the wrong length are refused before anyone is asked.
        {{"put", store, "1", dir / "short.img"},
         "quarnex-cli: Image File Length Invalid\n  Not a 1.44 MB Floppy Image File.\n  " +
             dir / "short.img" + "\n  File Length = 1,474,559\n"},
        {{"backup", store, dir / "nodesc.img", "--yes"},
         "cannot write " + dir / "nodesc.txt" + ": This is a folder, not a file."}};
    if (::access("/dev/fd0", F_OK) != 0) {  // no drive: the disk prompt comes
        refused.push_back({{"floppy", "read", "a", dir / "f.img"},
                           "quarnex-cli: (I1) Importing Image From Drive A:\n"
                           "  Insert a 1.44 MB Floppy Disk Into Drive A:\n"
                           "  (answered Cancel: standard input is not a terminal)\n"});
    }
    for (const auto& [args, message] : refused) {
        ExpectRun(args, 1, message);
    }
    // Typed answers that do not come from a terminal do not count either.
    EXPECT_EQ(RunCli({"put", store, "1", image}, {"y\n", false, false}).exitCode, 1);
    EXPECT_EQ(ReadFileText(dir / "keep.img"), "precious");
    EXPECT_EQ(ReadFileText(dir / "new.txt"), "notes");
    EXPECT_EQ(FileSizeOrZero(dir / "new.img"), 0u);
    EXPECT_NE(::access((dir / "f.img").c_str(), F_OK), 0);
    EXPECT_EQ(AllocatedBytes(dir / "blank-store.img"), 0u);
    // Not readable, then not writable, by the user: the system's own error text.
    ::chmod(dir.Path().c_str(), 0755);
    ::chmod(store.c_str(), 0600);
    ExpectRun({"list", store}, 1, "Permission denied", "", kAsNobody);
    ::chmod(store.c_str(), 0644);
    ExpectRun({"describe", store, "1", "text", "--yes"}, 1,
              "Permission denied\n  DISKS.TXT of " + store +
                  " was not saved: run with the rights to write " + store +
                  " (as its owner or root)\n",
              "", kAsNobody);
    ExpectRun({"put", store, "1", image, "--yes"}, 1,
              "was generated by GetHandle\n  Permission denied", "", kAsNobody);
    EXPECT_EQ(ReadFileBytes(store, 0, SlotOffset(2)), slots01);
}

// Outputs replace regular files only: anything else of that name is refused
// before a byte is written (a pipe without a reader must not even block),
// and so is a file the user may not write or a folder without room.
TEST(CliRefusals, OutputsReplaceOnlyRegularFilesTheUserMayWrite) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    ::chmod(dir.Path().c_str(), 0777);
    ::mkfifo((dir / "fifo").c_str(), 0666);
    ::mkdir((dir / "folder").c_str(), 0755);
    const std::string socketPath = dir / "sock";
    ASSERT_EQ(::mknod(socketPath.c_str(), S_IFSOCK | 0666, 0), 0);
    WriteFileText(dir / "theirs.img", "theirs");
    ::chmod((dir / "theirs.img").c_str(), 0444);
    const std::string pipe = ": This is a pipe (FIFO), not a file. Nothing was written.";
    std::vector<std::pair<Args, std::string>> refused{
        {{"get", store, "1", dir / "fifo", "--yes"}, pipe},
        {{"image", "new", dir / "sock", "--yes"}, ": This is a socket, not a file. Nothing was"},
        {{"backup", store, dir / "folder", "--yes"}, ": This is a folder, not a file. Nothing"},
        {{"files", "get", store, "--slot", "0", "DISKS.TXT", dir / "fifo", "--yes"}, pipe}};
    // A device node of our own, as only root may make one.
    if (::mknod((dir / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        refused.push_back({{"image", "zero", dir / "null", "--yes"}, ": This is a device, not a"});
    }
    for (const auto& [args, message] : refused) {
        ExpectRun(args, 1, message);
    }
    ExpectRun({"get", store, "1", dir / "theirs.img", "--yes"}, 1, "You may not write this file",
              "", kAsNobody);
    ExpectRun({"files", "mkdir", dir / "theirs.img", "NEW"}, 1,
              "cannot open " + dir / "theirs.img" + " for writing: Permission denied", "",
              kAsNobody);
    struct stat info {};
    EXPECT_TRUE(::lstat((dir / "fifo").c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
    EXPECT_TRUE(::lstat(socketPath.c_str(), &info) == 0 && S_ISSOCK(info.st_mode));
    EXPECT_TRUE(::lstat((dir / "null").c_str(), &info) != 0 || S_ISCHR(info.st_mode));
    EXPECT_EQ(ReadFileText(dir / "theirs.img"), "theirs");

    // A link is followed: its target is replaced, keeping owner and mode.
    WriteFileText(dir / "target.img", "old");
    ::chmod((dir / "target.img").c_str(), 0640);
    ::chown((dir / "target.img").c_str(), 65534, 65534);
    ::symlink("target.img", (dir / "link.img").c_str());
    RunOk({"get", store, "1", dir / "link.img", "--yes"});
    EXPECT_TRUE(::lstat((dir / "link.img").c_str(), &info) == 0 && S_ISLNK(info.st_mode));
    ASSERT_EQ(::stat((dir / "target.img").c_str(), &info), 0);
    EXPECT_EQ(std::tuple(info.st_size, info.st_mode & 07777),
              std::tuple(static_cast<off_t>(kImageBytes), 0640u));
    EXPECT_EQ(info.st_uid, ::geteuid() == 0 ? 65534u : ::geteuid());
    EXPECT_EQ(ReadFileBytes(dir / "target.img"), SlotImage(store, 1));

    // No room for the new image beside the old one: said before starting.
    const std::string small = dir / "small";
    ::mkdir(small.c_str(), 0755);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=1m") != 0) {
        GTEST_SKIP() << "cannot mount a small file system here";
    }
    WriteFileText(small + "/x.img", "old");
    ExpectRun({"get", store, "1", small + "/x.img", "--yes"}, 1,
              "bytes free; the new file needs 1,474,560 bytes beside the old one");
    EXPECT_EQ(ReadFileText(small + "/x.img"), "old");
    ::umount(small.c_str());
}

}  // namespace
}  // namespace quarnex::testing
