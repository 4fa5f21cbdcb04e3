// End-to-end runs of quarnex-cli on sparse store files and image files,
// checked byte by byte; several of them on one store take turns.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>
#include <tuple>

#include "cli/cli_runner.hpp"
#include "core/media_sizes.hpp"
#include "fat12/volume_label.hpp"

namespace quarnex::testing {
namespace {

bool SameBytes(const std::string& a, const std::string& b) {
    return RunCommand("cmp -s '" + a + "' '" + b + "'") == 0;
}

TEST(CliStore, CreateAndFormatMakeStoresThatListShows) {
    const std::string& store = MasterStore();
    // Zeros are not written: a formatted store takes a few megabytes.
    EXPECT_LT(AllocatedBytes(store), 64ULL * 1024 * 1024);
    TempDir dir;
    const std::string copy = CopyOfMasterStore(dir, "s.img");
    const CliResult listed = RunOk({"list", copy, "--json"});
    // Listing changes nothing, not even by creating a missing DISKS.TXT.
    EXPECT_TRUE(SameBytes(copy, store));
    nlohmann::json doc = nlohmann::json::parse(listed.out);
    ASSERT_EQ(doc["slots"].size(), 999u);
    doc["slots"] = {doc["slots"][0], doc["slots"][998]};
    EXPECT_EQ(doc, nlohmann::json::parse(R"({"store_id": "MYSTICK", "base_id": "FDISK",
        "base_numbered": true, "descriptions_problems": [], "write_unfinished": false, "slots": [
        {"slot": 1, "id": "FDISK001   ", "description": "", "source": "", "write_unfinished": false},
        {"slot": 999, "id": "FDISK999   ", "description": "", "source": "",
         "write_unfinished": false}]})"));
    // The key order of the document is the documented one.
    EXPECT_EQ(listed.out.find("\"store_id\""), listed.out.find('"'));
    ExpectRun({"list", copy}, 0, "",
              "Store ID: MYSTICK\nBase ID:  FDISK (numbered)\n|\n998 FDISK998\n999 FDISK999\n");

    // Format takes the IDs as the format dialog does, and drops the
    // descriptions. A numbered base keeps 8 characters, as the tool says.
    ExpectRun({"format", copy, "--id", "x", "--base", "abcdefghij", "--yes"}, 0,
              "--base \"abcdefghij\" is cut to 8 characters, which leave room for the slot "
              "number: the slots' labels are \"ABCDEFGH001\" to \"ABCDEFGH999\"\n");
    RunOk({"describe", copy, "5", "gone after the format", "--yes"});
    const CliResult formatted = RunOk({"format", copy, "--id", "new stick id", "--base",
                                       "plain base name", "--no-number", "--yes"});
    EXPECT_EQ(formatted.out, "formatted " + copy + "\n");
    // Cut IDs are said, with the labels they give.
    EXPECT_EQ(formatted.err,
              "quarnex-cli: --id \"new stick id\" is cut to 11 characters, all a volume label "
              "holds: the store's label is \"NEW STICK I\"\nquarnex-cli: --base \"plain base "
              "name\" is cut to 11 characters, all a volume label holds: the slots' label is "
              "\"PLAIN BASE \"\n");
    doc = ListJson(copy);
    EXPECT_EQ(std::tuple(doc["store_id"], doc["base_numbered"], doc["slots"][4]["id"],
                         doc["slots"][4]["description"]),
              std::tuple("NEW STICK I", false, "PLAIN BASE ", ""));
    // The mark of a format or restore that did not finish: listings say so.
    PutBytes(copy, 3, "QRNXBUSY");
    ExpectRun({"list", copy}, 0,
              "quarnex-cli: the last format or restore of " + copy +
                  " did not finish: its slots may mix old and new disks; run it again\n");
    EXPECT_EQ(ListJson(copy)["write_unfinished"], true);
}

TEST(CliStore, PutGetDescribeBackupAndRestore) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    const std::string image = dir / "in.img";
    WriteFileBytes(image, PatternImage(7, "GAME7"));

    EXPECT_EQ(RunOk({"put", store, "5", image, "--yes"}).out, image + " -> slot 005 [GAME7]\n");
    EXPECT_EQ(SlotImage(store, 5), ReadFileBytes(image));
    EXPECT_EQ(SlotImage(store, 4), SlotImage(MasterStore(), 4));
    // The record holds the source and the slot's new ID.
    ExpectParts(DisksTxt(store),
                "--- IDN>[FDISK]\r\n\r\n005 SRC>" + image + "\r\n005  ID>[GAME7      ]\r\n");

    RunOk({"get", store, "005", dir / "out.img"});
    EXPECT_EQ(ReadFileBytes(dir / "out.img"), ReadFileBytes(image));

    // Descriptions, kept in DISKS.TXT and the backup's companion file.
    const std::string text = "Flight manual\\n  page 2\\n\\nend";
    EXPECT_EQ(RunOk({"describe", store, "012", text, "--yes"}).out, "slot 012 described\n");
    EXPECT_EQ(ListJson(store)["slots"][11]["description"], "Flight manual\n  page 2\n\nend");
    const std::string record =
        "012  ID>[FDISK012   ]\r\n012   1>Flight manual\r\n"
        "012   2>  page 2\r\n012   3>\r\n012   4>end\r\n";
    ExpectParts(DisksTxt(store), "\r\n\r\n" + record);
    // The same text again writes nothing and says so.
    EXPECT_EQ(RunOk({"describe", store, "12", text}).err,
              "quarnex-cli: the description of slot 012 is unchanged\n");

    const std::string backup = dir / "backup.img";
    RunOk({"backup", store, backup});
    EXPECT_TRUE(SameBytes(store, backup));
    EXPECT_LT(AllocatedBytes(backup), 64ULL * 1024 * 1024);
    ExpectParts(ReadFileText(dir / "backup.txt"), record);
    // An empty text removes the description and its record; the backup
    // restores the store as it was, byte for byte.
    RunOk({"describe", store, "12", "", "--yes"});
    EXPECT_FALSE(Contains(DisksTxt(store), "012 "));
    const std::string other = CopyOfMasterStore(dir, "other.img");
    RunOk({"restore", backup, other, "--yes"});
    EXPECT_TRUE(SameBytes(other, backup));
}

TEST(CliImage, NewAndZeroWriteWholeImages) {
    TempDir dir;
    const std::string fresh = dir / "fresh.img";
    const CliResult made = RunOk({"image", "new", fresh, "--id", "my disk 12345"});
    EXPECT_EQ(made.out + made.err,
              "wrote " + fresh +
                  "\nquarnex-cli: --id \"my disk 12345\" is cut to 11 characters, all a volume "
                  "label holds: the volume's label is \"MY DISK 123\"\n");
    const std::vector<unsigned char> written = ReadFileBytes(fresh, fat12::kBootLabelOffset, 11);
    EXPECT_EQ(std::string(written.begin(), written.end()), "MY DISK 123");
    // Without an ID the volume has no label, which fsck.fat accepts.
    RunOk({"image", "new", dir / "blank.img"});
    EXPECT_EQ(RunCommand("fsck.fat -n '" + dir / "blank.img" + "'"), 0);

    // Zero over an existing file, confirmed.
    RunOk({"image", "zero", fresh, "--yes"});
    EXPECT_EQ(ReadFileBytes(fresh), std::vector<unsigned char>(kImageBytes, 0));
}

TEST(CliLocks, ParallelWritersAreAllKeptAndAWriterWaitsForTheHolder) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    {
        const int held = ::open(store.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(::flock(held, LOCK_SH), 0) << "a reader holds the store";
        CliProcess waiting({"describe", store, "400", "after the wait", "--yes"});
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        ::close(held);
        const CliResult run = waiting.Wait();
        EXPECT_EQ(run.exitCode, 0);
        ExpectParts(run.err, "waiting for another program that is reading or writing " + store);
    }
    std::vector<std::unique_ptr<CliProcess>> runs;
    for (int slot = 1; slot <= 12; ++slot) {
        runs.push_back(std::make_unique<CliProcess>(std::vector<std::string>{
            "describe", store, std::to_string(slot), "text " + std::to_string(slot), "--yes"}));
    }
    for (const auto& run : runs) {
        EXPECT_EQ(run->Wait().exitCode, 0);
    }
    const nlohmann::json listed = ListJson(store);
    for (int slot = 1; slot <= 12; ++slot) {
        EXPECT_EQ(listed["slots"][slot - 1]["description"], "text " + std::to_string(slot));
    }
    EXPECT_EQ(listed["slots"][399]["description"], "after the wait");
    WriteFileBytes(dir / "slot0.img", SlotImage(store, 0));
    EXPECT_EQ(RunCommand("fsck.fat -n '" + dir / "slot0.img" + "'"), 0);
}

}  // namespace
}  // namespace quarnex::testing
