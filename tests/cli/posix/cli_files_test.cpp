// files ls/get/put/rm/mkdir against volumes that dosfstools and mtools made,
// checked back with their tools; refusals leave the volume's bytes alone.
#include <gtest/gtest.h>

#include <set>

#include <sys/stat.h>

#include "cli/cli_runner.hpp"
#include "core/media_sizes.hpp"
#include "core/text.hpp"

namespace quarnex::testing {
namespace {

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

std::string MtoolsRead(const std::string& image, const std::string& path) {
    return Mtools("mtype -i " + Quoted(image) + " " + Quoted("::" + path));
}

TEST(CliFiles, ChangesOnEveryLayoutAreCleanForFsckAndReadBackByMtools) {
    if (!HaveTools({"fsck.fat", "mformat", "mdir"})) {
        GTEST_SKIP() << "dosfstools or mtools not installed";
    }
    // The engine meets every layout in volume_layouts_test; here the commands on a few.
    const std::vector<std::string> layouts = {"mkfs.fat -C -s 4 -r 112 IMG 1440",
                                              "mkfs.fat -C -f 1 -R 4 IMG 720",
                                              "mformat -C -i IMG -t 80 -h 2 -s 21 ::"};
    const std::string longText(5000, 'L');
    const std::string shortText(700, 's');
    for (const std::string& layout : layouts) {
        SCOPED_TRACE(layout);
        TempDir dir;
        const std::string image = dir / "volume.img";
        std::string command = layout;
        command.replace(command.find("IMG"), 3, Quoted(image));
        ASSERT_EQ(RunCommand(command + " >/dev/null"), 0);
        WriteFileText(dir / "Long file name.txt", longText);
        WriteFileText(dir / "SHORT.BIN", shortText);
        WriteFileText(dir / "gone.txt", "x");
        for (int run = 0; run < 2; ++run) {  // the second finds both there
            RunOk({"files", "mkdir", image, "-p", "Sub Folder/Deep"});
        }
        RunOk({"files", "put", image, "/proc/version", "--name", "v.txt"});
        RunOk({"files", "put", image, dir / "Long file name.txt", dir / "SHORT.BIN", "--to",
               "sub folder"});
        RunOk({"files", "put", image, dir / "gone.txt", dir / "SHORT.BIN"});
        RunOk({"files", "rm", image, "GONE.TXT"});

        std::string fsck;
        EXPECT_EQ(RunCommand("fsck.fat -n " + Quoted(image), &fsck), 0) << fsck;
        EXPECT_EQ(MtoolsPaths(image),
                  (std::set<std::string>{"::/SHORT.BIN", "::/v.txt", "::/Sub Folder/",
                                         "::/Sub Folder/Deep/", "::/Sub Folder/SHORT.BIN",
                                         "::/Sub Folder/Long file name.txt"}));
        EXPECT_EQ(MtoolsRead(image, "v.txt").substr(0, 14), "Linux version ");
        EXPECT_EQ(MtoolsRead(image, "Sub Folder/Long file name.txt"), longText);
        EXPECT_EQ(MtoolsRead(image, "SHORT.BIN"), shortText);
        RunOk({"files", "get", image, "SUB FOLDER/long file name.txt", dir.Path()});
        EXPECT_EQ(ReadFileText(dir / "long file name.txt"), longText);
        const nlohmann::json listed =
            nlohmann::json::parse(RunCli({"files", "ls", image, "Sub Folder", "--json"}).out);
        ASSERT_EQ(listed["entries"].size(), 3u);
        EXPECT_EQ(listed["entries"][1]["name"], "Long file name.txt");
        EXPECT_EQ(listed["entries"][1]["size"], 5000);
        const std::uint64_t free = MtoolsFreeBytes(image);
        EXPECT_GT(free, 0u);
        EXPECT_EQ(listed["free_bytes"], free);
        ExpectRun({"files", "ls", image}, 0, "",
                  "  SUBFOL~1      Sub Folder/\n|\n" +
                      FormatThousands(static_cast<std::int64_t>(free)) + " bytes free\n");
    }
}

TEST(CliFiles, RefusalsSayWhyAndLeaveTheVolumeAsItWas) {
    TempDir dir;
    const std::string image = dir / "volume.img";
    RunOk({"image", "new", image, "--id", "FILES"});
    WriteFileText(dir / "a.txt", "old a");
    RunOk({"files", "put", image, dir / "a.txt"});
    RunOk({"files", "mkdir", image, "Full"});
    RunOk({"files", "put", image, dir / "a.txt", "--to", "Full"});
    WriteFileText(dir / "a.txt", "new a");
    WriteFileText(dir / "big.bin", std::string(1'460'000, 'b'));
    WriteFileText(dir / "half.bin", std::string(800'000, 'h'));  // twice it takes more than free
    RunOk({"files", "put", image, dir / "half.bin"});
    struct Case {
        std::vector<std::string> args;
        std::string says;
        int exitCode = 1;
    };
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // opened, it would wait for a writer
    const std::string notAFile = " is not a regular file (a pipe, device, folder or /proc file)";
    const Case cases[] = {
        {{"files", "put", image, dir / "big.bin"}, "big.bin: The FAT12 volume is full; nothing"},
        {{"files", "put", image, "/proc/version"}, "/proc/version" + notAFile},
        {{"files", "put", image, fifo}, fifo + notAFile},
        {{"files", "put", image, dir / "half.bin"}, "does not fit beside the old one, which is"},
        {{"files", "put", image, "/dev/zero", "--name", "z"}, "/dev/zero is larger than a 2.88"},
        {{"files", "put", image, fifo, fifo, "--name", "z"}, "--name names one FILE", 2},
        {{"files", "mkdir", image, "-p", "a.txt/x"}, "a.txt: A part of the path is a file"},
        {{"files", "put", image, dir / "a.txt", "--to", "nowhere"}, "not found on the volume"},
        {{"files", "put", image, dir / "missing.txt"}, "cannot read " + dir / "missing.txt"},
        {{"files", "put", image, dir / "a.txt"}, "replace a.txt in " + image + "?"},
        {{"files", "rm", image, "a.txt", "nothing.txt"}, "nothing.txt: The file was not found"},
        {{"files", "get", image, "nothing.txt", dir / "out"}, "nothing.txt: The file was not"},
        {{"files", "mkdir", image, "a*b"}, "a*b: The file name does not fit"},
        {{"files", "mkdir", image, "A.TXT"}, "A.TXT: A file or folder of that name exists"},
        {{"files", "rm", image, "full"}, "full: The folder is not empty; nothing was changed"},
        {{"files", "ls", image, "a.txt"}, "a.txt: A part of the path is a file"},
        {{"files", "rm", image, "Full/."}, "Full/.: \".\" and \"..\" are a folder's own"},
        {{"files", "get", image, "Full/../a.txt", dir / "out"}, "are a folder's own"},
        {{"files", "ls", MasterStore()}, "is a store: name a slot with --slot N", 2},
        {{"files", "ls", image, "--slot", "1000"}, "not a slot number", 2},
    };
    const std::vector<unsigned char> before = ReadFileBytes(image);
    for (const Case& c : cases) {
        ExpectRun(c.args, c.exitCode, c.says);
        EXPECT_EQ(ReadFileBytes(image), before);
    }
    EXPECT_FALSE(FileSizeOrZero(dir / "out"));
    RunOk({"--yes", "files", "put", image, dir / "a.txt"});
    RunOk({"files", "get", image, "A.TXT", dir / "a.back"});
    EXPECT_EQ(ReadFileText(dir / "a.back"), "new a");
}

TEST(CliFiles, ASlotOfAStoreIsWorkedOnInPlaceAndItsNeighboursStay) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "store.img");
    const std::vector<unsigned char> neighbours = ReadFileBytes(store, 0, SlotOffset(7));
    WriteFileText(dir / "notes.txt", "slot seven");
    ASSERT_EQ(RunCommand("touch -d '2001-02-03 04:05:06' '" + dir / "notes.txt'"), 0);
    EXPECT_EQ(RunOk({"files", "put", store, "--slot", "007", dir / "notes.txt", "--keep-time"}).out,
              dir / "notes.txt -> notes.txt\n");
    ExpectRun({"files", "ls", store, "--slot", "7"}, 0, "",
              "2001-02-03 04:05:06  ---A             10  notes.txt");
    EXPECT_EQ(ReadFileBytes(store, 0, SlotOffset(7)), neighbours);
    EXPECT_EQ(SlotImage(store, 8), SlotImage(MasterStore(), 8));
    RunOk({"files", "ls", store, "--slot", "0"});
    if (HaveTools({"fsck.fat", "mtype"})) {
        WriteFileBytes(dir / "slot7.img", SlotImage(store, 7));
        EXPECT_EQ(MtoolsRead(dir / "slot7.img", "notes.txt"), "slot seven");
    }
}

}  // namespace
}  // namespace quarnex::testing
