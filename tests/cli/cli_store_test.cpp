// End-to-end runs of quarnex-cli on sparse store files.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "cli/cli_runner.hpp"
#include "cli/cli_test_store.hpp"
#include "core/media_sizes.hpp"
#include "fat12/volume_label.hpp"
#include "support/temp_dir.hpp"

namespace quarnex::testing {
namespace {

std::vector<unsigned char> SlotGap(const std::string& store, int slot) {
    return ReadFileBytes(store, SlotOffset(slot) + kImageBytes, kSlotGapBytes);
}

TEST(CliStore, CreateMakesASparseNumberedStoreThatListShows) {
    const std::string& store = MasterStore();
    EXPECT_EQ(FileSize(store), kStoreBytes);
    // Zeros are not written: a formatted store takes a few megabytes.
    EXPECT_LT(AllocatedBytes(store), 64ULL * 1024 * 1024);
    // Labels at both places of every slot, gaps zero.
    for (int slot : {0, 1, 500, 999}) {
        const std::vector<unsigned char> image = SlotImage(store, slot);
        char expected[16];
        std::snprintf(expected, sizeof expected, "FDISK%03d   ", slot);
        const std::string id = slot == 0 ? "MYSTICK    " : expected;
        EXPECT_EQ(Label(image, fat12::kBootLabelOffset), id) << slot;
        EXPECT_EQ(Label(image, 9728), id) << slot;
        EXPECT_EQ(SlotGap(store, slot), std::vector<unsigned char>(kSlotGapBytes, 0)) << slot;
    }

    TempDir dir;
    const std::string copy = CopyOfMasterStore(dir, "s.img");
    const std::vector<unsigned char> slot0 = SlotImage(copy, 0);
    const CliResult listed = RunCli({"list", copy, "--json"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    // Listing changes nothing, not even by creating a missing DISKS.TXT.
    EXPECT_EQ(SlotImage(copy, 0), slot0);
    EXPECT_TRUE(Contains(DisksTxt(copy), "not found"));
    const nlohmann::json doc = nlohmann::json::parse(listed.out);
    EXPECT_EQ(doc["store_id"], "MYSTICK");
    EXPECT_EQ(doc["base_id"], "FDISK");
    EXPECT_EQ(doc["base_numbered"], true);
    ASSERT_EQ(doc["slots"].size(), 999u);
    for (int n = 1; n <= 999; ++n) {
        const nlohmann::json& slot = doc["slots"][static_cast<std::size_t>(n - 1)];
        char id[16];
        std::snprintf(id, sizeof id, "FDISK%03d   ", n);
        ASSERT_EQ(slot,
                  nlohmann::json({{"slot", n}, {"id", id}, {"description", ""}, {"source", ""}}));
    }
    // The key order of the document is the documented one.
    EXPECT_EQ(listed.out.find("\"store_id\""), listed.out.find('"'));

    const CliResult text = RunCli({"list", copy});
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_TRUE(Contains(text.out, "Store ID: MYSTICK\n"));
    EXPECT_TRUE(Contains(text.out, "Base ID:  FDISK (numbered)\n"));
    EXPECT_TRUE(Contains(text.out, "\n998 FDISK998\n999 FDISK999\n"));
}

TEST(CliStore, PutAndGetRoundTripTouchingOnlyTheSlotImage) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    const std::string image = dir / "in.img";
    WriteFileBytes(image, PatternImage(7, "GAME7"));
    const auto before4 = SlotImage(store, 4);
    const auto before6 = SlotImage(store, 6);
    // Mark the gap of slot 5 so that a write into it would show.
    {
        std::vector<unsigned char> mark(kSlotGapBytes, 0xA5);
        std::FILE* f = std::fopen(store.c_str(), "r+b");
        std::fseek(f, static_cast<long>(SlotOffset(5) + kImageBytes), SEEK_SET);
        std::fwrite(mark.data(), 1, mark.size(), f);
        std::fclose(f);
    }

    const CliResult put = RunCli({"put", store, "5", image, "--yes"});
    ASSERT_EQ(put.exitCode, 0) << put.err;
    EXPECT_EQ(SlotImage(store, 5), ReadFileBytes(image));
    EXPECT_EQ(SlotGap(store, 5), std::vector<unsigned char>(kSlotGapBytes, 0xA5));
    EXPECT_EQ(SlotImage(store, 4), before4);
    EXPECT_EQ(SlotImage(store, 6), before6);

    // The source is recorded and the slot shows the image's label.
    const nlohmann::json slot5 = ListJson(store)["slots"][4];
    EXPECT_EQ(slot5["id"], "GAME7      ");
    EXPECT_EQ(slot5["source"], image);
    const std::string disks = DisksTxt(store);
    EXPECT_TRUE(Contains(disks, "005 SRC>" + image + "\r\n")) << disks;
    // The record is saved before the store is read again, so it still holds
    // the slot's ID from before the export.
    EXPECT_TRUE(Contains(disks, "005  ID>[FDISK005   ]\r\n")) << disks;

    // The slot, and a neighbour as formatted, come back.
    for (const auto& [slot, expected] :
         {std::pair{5, ReadFileBytes(image)}, std::pair{6, before6}}) {
        const std::string out = dir / ("out" + std::to_string(slot) + ".img");
        const CliResult get = RunCli({"get", store, std::to_string(slot), out});
        ASSERT_EQ(get.exitCode, 0) << get.err;
        EXPECT_EQ(ReadFileBytes(out), expected) << slot;
    }
}

TEST(CliStore, DescribeShowsInListAndInDisksTxt) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    const CliResult described =
        RunCli({"describe", store, "12", "Flight manual\\n  page 2\\n\\nend", "--yes"});
    ASSERT_EQ(described.exitCode, 0) << described.err;
    EXPECT_EQ(described.out, "slot 012 described\n");

    const nlohmann::json doc = ListJson(store);
    EXPECT_EQ(doc["slots"][11]["description"], "Flight manual\n  page 2\n\nend");
    EXPECT_EQ(doc["slots"][10]["description"], "");
    const CliResult text = RunCli({"list", store});
    EXPECT_TRUE(Contains(text.out, "012 FDISK012     Flight manual\n")) << text.out;
    const std::string disks = DisksTxt(store);
    EXPECT_TRUE(Contains(disks,
                         "--- IDN>[FDISK]\r\n\r\n012  ID>[FDISK012   ]\r\n012   1>Flight manual\r\n"
                         "012   2>  page 2\r\n012   3>\r\n012   4>end\r\n"))
        << disks;

    // The same text again writes nothing and says so.
    const CliResult again = RunCli({"describe", store, "12", "Flight manual\\n  page 2\\n\\nend"});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_TRUE(Contains(again.err, "unchanged"));

    // An empty text removes the description and its record.
    ASSERT_EQ(RunCli({"describe", store, "12", "", "--yes"}).exitCode, 0);
    EXPECT_FALSE(Contains(DisksTxt(store), "012 "));
}

TEST(CliStore, BackupAndRestoreAreByteIdentical) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    const std::string image = dir / "in.img";
    WriteFileBytes(image, PatternImage(3, "BACKUP"));
    ASSERT_EQ(RunCli({"put", store, "999", image, "--yes"}).exitCode, 0);
    ASSERT_EQ(RunCli({"describe", store, "3", "kept", "--yes"}).exitCode, 0);

    const std::string backup = dir / "backup.img";
    const CliResult saved = RunCli({"backup", store, backup});
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_TRUE(SameBytes(store, backup));
    EXPECT_LT(AllocatedBytes(backup), 64ULL * 1024 * 1024);
    const std::string companion = ReadFileText(dir / "backup.txt");
    EXPECT_EQ(companion.rfind("Disk Descriptions For USB Image File '" + backup + "'\r\n", 0), 0u)
        << companion;
    EXPECT_TRUE(Contains(companion, "003   1>kept\r\n"));
    EXPECT_TRUE(Contains(companion, "999 SRC>" + image + "\r\n"));

    // Restore onto another store: the result is the original, byte for byte.
    const std::string other = CopyOfMasterStore(dir, "other.img");
    const CliResult restored = RunCli({"restore", backup, other, "--yes"});
    ASSERT_EQ(restored.exitCode, 0) << restored.err;
    EXPECT_TRUE(SameBytes(other, store));
    const nlohmann::json doc = ListJson(other);
    EXPECT_EQ(doc["slots"][2]["description"], "kept");
    EXPECT_EQ(doc["slots"][998]["id"], "BACKUP     ");
}

}  // namespace
}  // namespace quarnex::testing
