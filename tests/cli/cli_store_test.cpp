// End-to-end runs of quarnex-cli on sparse store files and image files,
// checked byte by byte.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <thread>

#include "cli/cli_runner.hpp"
#include "cli/cli_test_store.hpp"
#include "core/media_sizes.hpp"
#include "fat12/dir_entry.hpp"
#include "fat12/volume_label.hpp"

namespace quarnex::testing {
namespace {

// The boot sector's label and the root directory's, as "BOOT LABEL |ROOT LABEL ".
std::string Labels(const std::vector<unsigned char>& image) {
    const auto at = [&](std::size_t offset) {
        return std::string(image.begin() + static_cast<long>(offset),
                           image.begin() + static_cast<long>(offset + fat12::kLabelBytes));
    };
    return at(fat12::kBootLabelOffset) + "|" + at(fat12::kRootLabelOffset);
}

// DISKS.TXT inside slot 0 as mtype reads it.
std::string DisksTxt(const std::string& store) {
    return Mtools("mtype -i '" + store + "' ::DISKS.TXT");
}

bool SameBytes(const std::string& a, const std::string& b) {
    return RunCommand("cmp -s '" + a + "' '" + b + "'") == 0;
}

std::vector<unsigned char> SlotGap(const std::string& store, int slot) {
    return ReadFileBytes(store, SlotOffset(slot) + kImageBytes, kSlotGapBytes);
}

TEST(CliStore, CreateAndFormatMakeStoresThatListShows) {
    const std::string& store = MasterStore();
    EXPECT_EQ(FileSize(store), kStoreBytes);
    // Zeros are not written: a formatted store takes a few megabytes.
    EXPECT_LT(AllocatedBytes(store), 64ULL * 1024 * 1024);
    std::set<std::vector<unsigned char>> serials;
    for (const auto& [slot, id] :
         {std::pair{0, "MYSTICK    "}, {1, "FDISK001   "}, {999, "FDISK999   "}}) {
        const std::vector<unsigned char> image = SlotImage(store, slot);
        EXPECT_EQ(Labels(image), id + ("|" + std::string(id)));
        EXPECT_EQ(SlotGap(store, slot), std::vector<unsigned char>(kSlotGapBytes, 0)) << slot;
        serials.emplace(image.begin() + 39, image.begin() + 43);
    }
    EXPECT_EQ(serials.size(), 3u) << "every slot has a serial number of its own";

    TempDir dir;
    const std::string copy = CopyOfMasterStore(dir, "s.img");
    const CliResult listed = RunCli({"list", copy, "--json"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
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
    const CliResult text = RunCli({"list", copy});
    EXPECT_TRUE(Contains(text.out, "Store ID: MYSTICK\nBase ID:  FDISK (numbered)\n")) << text.out;
    EXPECT_TRUE(Contains(text.out, "\n998 FDISK998\n999 FDISK999\n"));

    // Format takes the IDs as the format dialog does, and drops the
    // descriptions. A numbered base keeps 8 characters, as the tool says.
    EXPECT_TRUE(
        Contains(RunCli({"format", copy, "--id", "x", "--base", "abcdefghij", "--yes"}).err,
                 "--base \"abcdefghij\" is cut to 8 characters, which leave room for the "
                 "slot number: the slots' labels are \"ABCDEFGH001\" to \"ABCDEFGH999\"\n"));
    ASSERT_EQ(RunCli({"describe", copy, "5", "gone after the format", "--yes"}).exitCode, 0);
    const CliResult formatted = RunCli({"format", copy, "--id", "new stick id", "--base",
                                        "plain base name", "--no-number", "--yes"});
    ASSERT_EQ(formatted.exitCode, 0) << formatted.err;
    EXPECT_EQ(formatted.out, "formatted " + copy + "\n");
    // Cut IDs are said, with the labels they give.
    EXPECT_EQ(formatted.err,
              "quarnex-cli: --id \"new stick id\" is cut to 11 characters, all a volume label "
              "holds: the store's label is \"NEW STICK I\"\nquarnex-cli: --base \"plain base "
              "name\" is cut to 11 characters, all a volume label holds: the slots' label is "
              "\"PLAIN BASE \"\n");
    for (int slot : {1, 999}) {
        EXPECT_EQ(Labels(SlotImage(copy, slot)), "PLAIN BASE |PLAIN BASE ") << slot;
    }
    doc = ListJson(copy);
    doc["slots"] = {doc["slots"][4]};
    EXPECT_EQ(doc, nlohmann::json::parse(R"({"store_id": "NEW STICK I", "base_id": "PLAIN BASE",
        "base_numbered": false, "descriptions_problems": [], "write_unfinished": false,
        "slots": [
        {"slot": 5, "id": "PLAIN BASE ", "description": "", "source": "",
         "write_unfinished": false}]})"));
    // The mark of a format or restore that did not finish: listings say so.
    PutBytes(copy, 3, "QRNXBUSY");
    const CliResult marked = RunCli({"list", copy});
    EXPECT_TRUE(Contains(marked.err, "quarnex-cli: the last format or restore of " + copy +
                                         " did not finish: its slots may mix old and new disks; "
                                         "run it again\n"))
        << marked.err;
    EXPECT_EQ(nlohmann::json::parse(RunCli({"list", copy, "--json"}).out)["write_unfinished"],
              true);
}

TEST(CliStore, PutGetDescribeBackupAndRestore) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    const std::string image = dir / "in.img";
    WriteFileBytes(image, PatternImage(7, "GAME7"));
    // Mark the gap of slot 5 so that a write into it would show.
    PutBytes(store, SlotOffset(5) + kImageBytes, std::string(kSlotGapBytes, '\xA5'));

    const CliResult put = RunCli({"put", store, "5", image, "--yes"});
    ASSERT_EQ(put.exitCode, 0) << put.err;
    EXPECT_EQ(put.out, image + " -> slot 005 [GAME7]\n");
    EXPECT_EQ(SlotImage(store, 5), ReadFileBytes(image));
    EXPECT_EQ(SlotGap(store, 5), std::vector<unsigned char>(kSlotGapBytes, 0xA5));
    EXPECT_EQ(SlotImage(store, 4), SlotImage(MasterStore(), 4));
    // The record holds the source and the slot's new ID.
    const std::string disks = DisksTxt(store);
    EXPECT_TRUE(Contains(
        disks, "--- IDN>[FDISK]\r\n\r\n005 SRC>" + image + "\r\n005  ID>[GAME7      ]\r\n"))
        << disks;

    ASSERT_EQ(RunCli({"get", store, "005", dir / "out.img"}).exitCode, 0);
    EXPECT_EQ(ReadFileBytes(dir / "out.img"), ReadFileBytes(image));

    // Descriptions, kept in DISKS.TXT and the backup's companion file.
    const std::string text = "Flight manual\\n  page 2\\n\\nend";
    const CliResult described = RunCli({"describe", store, "012", text, "--yes"});
    ASSERT_EQ(described.exitCode, 0) << described.err;
    EXPECT_EQ(described.out, "slot 012 described\n");
    EXPECT_EQ(ListJson(store)["slots"][11]["description"], "Flight manual\n  page 2\n\nend");
    const std::string record =
        "012  ID>[FDISK012   ]\r\n012   1>Flight manual\r\n"
        "012   2>  page 2\r\n012   3>\r\n012   4>end\r\n";
    EXPECT_TRUE(Contains(DisksTxt(store), "\r\n\r\n" + record));
    // The same text again writes nothing and says so.
    const CliResult again = RunCli({"describe", store, "12", text});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.err, "quarnex-cli: the description of slot 012 is unchanged\n");

    const std::string backup = dir / "backup.img";
    const CliResult saved = RunCli({"backup", store, backup});
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_TRUE(SameBytes(store, backup));
    EXPECT_LT(AllocatedBytes(backup), 64ULL * 1024 * 1024);
    const std::string companion = ReadFileText(dir / "backup.txt");
    EXPECT_EQ(companion.rfind("Disk Descriptions For USB Image File '" + backup + "'\r\n", 0), 0u)
        << companion;
    EXPECT_TRUE(Contains(companion, record));
    EXPECT_TRUE(Contains(companion, "005 SRC>" + image + "\r\n"));
    // An empty text removes the description and its record; the backup
    // restores the store as it was, byte for byte.
    ASSERT_EQ(RunCli({"describe", store, "12", "", "--yes"}).exitCode, 0);
    EXPECT_FALSE(Contains(DisksTxt(store), "012 "));
    const std::string other = CopyOfMasterStore(dir, "other.img");
    ASSERT_EQ(RunCli({"restore", backup, other, "--yes"}).exitCode, 0);
    EXPECT_TRUE(SameBytes(other, backup));
}

TEST(CliImage, NewAndZeroWriteWholeImages) {
    TempDir dir;
    const std::string fresh = dir / "fresh.img";
    const CliResult made = RunCli({"image", "new", fresh, "--id", "my disk 12345"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(made.out, "wrote " + fresh + "\n");
    EXPECT_EQ(made.err,
              "quarnex-cli: --id \"my disk 12345\" is cut to 11 characters, all a "
              "volume label holds: the volume's label is \"MY DISK 123\"\n");
    // The template, with the ID as the ID dialog's OK button leaves it at
    // both places.
    std::vector<unsigned char> expected = ReadFileBytes(
        (std::filesystem::path(CliBinary()).parent_path() / "QuarnCfg" / "FAT12.144").string());
    ASSERT_EQ(expected.size(), kImageBytes);
    for (std::size_t at : {fat12::kBootLabelOffset, fat12::kRootLabelOffset}) {
        std::copy_n("MY DISK 123", fat12::kLabelBytes, expected.begin() + static_cast<long>(at));
    }
    // The serial number is the moment's, not the template's.
    const std::vector<unsigned char> written = ReadFileBytes(fresh);
    EXPECT_FALSE(std::equal(written.begin() + 39, written.begin() + 43, expected.begin() + 39));
    std::copy_n(written.begin() + 39, 4, expected.begin() + 39);
    EXPECT_TRUE(written == expected);
    // Without an ID the volume has no label, which fsck.fat accepts.
    ASSERT_EQ(RunCli({"image", "new", dir / "blank.img"}).exitCode, 0);
    EXPECT_EQ(RunCommand("fsck.fat -n '" + dir / "blank.img" + "'"), 0);

    // Zero over an existing file, confirmed.
    ASSERT_EQ(RunCli({"image", "zero", fresh, "--yes"}).exitCode, 0);
    EXPECT_EQ(ReadFileBytes(fresh), std::vector<unsigned char>(kImageBytes, 0));
}

}  // namespace
}  // namespace quarnex::testing
