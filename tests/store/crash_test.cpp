#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <utility>

#include "fat12/fat12_volume.hpp"
#include "fat12/geometry.hpp"
#include "store/descriptions.hpp"
#include "store/descriptions_file.hpp"
#include "store/disk_ids.hpp"
#include "store/format_usb.hpp"
#include "store/slot_transfer.hpp"
#include "store/store_file_copy.hpp"
#include "store/write_mark.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

using testing::FaultOp;
using testing::SetGridIds;
using testing::StoreWorld;

bool SaveWithRow5(StoreWorld& w, int length) {
    w.state.slotTable.SetDescription(5, std::string(static_cast<std::size_t>(length), 'd'));
    return SaveDescriptions(w.ctx, "sdb/DISKS.TXT");
}

// A store without DISKS.TXT (row5 < 0), or with one whose slot 5 has a
// description of row5 characters; room: a file leaves only that much free.
void Prepare(StoreWorld& w, int row5, std::optional<std::size_t> room = std::nullopt) {
    SetGridIds(w.state, "FDISK", true);
    if (row5 >= 0) {
        ASSERT_TRUE(LoadDescriptions(w.ctx));
        ASSERT_TRUE(SaveWithRow5(w, row5));
    }
    if (room) {
        const testing::Bytes slot0 = w.Read(0, fat12::kVolumeBytes);
        w.PutSlot0File("FILL.BIN",
                       std::string(fat12::FreeBytes(std::as_bytes(std::span(slot0))) - *room, 'f'));
    }
}

// A put: slot 12 gets a new image, then DISKS.TXT its source record. The
// bytes around slot 12 start old.
constexpr int kPut = -2;
constexpr std::uint64_t kAround = SlotOffset(12) - kTrackBytes;
constexpr std::size_t kAroundBytes = kSlotStride + 2 * kTrackBytes;
const testing::Bytes kNewImage = testing::Pattern(0, kImageBytes, 2);
constexpr int kSlotWrites = static_cast<int>(kTracksPerImage) + 1;  // the last is the boot sector

// Creates DISKS.TXT (row5 -1), describes slot 5 with row5 characters, or puts.
bool CreateOrDescribe(StoreWorld& w, int row5) {
    if (row5 == kPut) {
        testing::PutPattern(w.store, kAround, kAroundBytes, 1);
        std::copy(kNewImage.begin(), kNewImage.end(),
                  reinterpret_cast<unsigned char*>(w.Image().data()));
        w.state.slotTable.internalImage.source = "new.img";
        return ExportToSlot(w.ctx, 12).Complete();  // which saves DISKS.TXT too
    }
    return row5 < 0 ? LoadDescriptions(w.ctx) : SaveWithRow5(w, row5);
}

// What a stop left of slot 12, as the bytes and the next listing (by another
// program) show it: "old" with its neighbours, "new" whole and unmarked,
// "marked" as not completely written, or "torn" (mixed yet looking whole).
std::string SlotLeft(const StoreWorld& w) {
    const testing::Bytes left = w.Read(kAround, kAroundBytes);
    testing::Bytes expected = testing::Pattern(kAround, kAroundBytes, 1);
    if (left == expected) {
        return "old";
    }
    StoreWorld lister;
    lister.state.devices.Row(1).path = w.store;
    EXPECT_EQ(LoadDiskIds(lister.ctx), Outcome::Complete);
    if (lister.state.slotTable.Slot(12).writeUnfinished) {
        return "marked";
    }
    std::copy(kNewImage.begin(), kNewImage.end(), expected.begin() + kTrackBytes);
    return left == expected ? "new" : "torn";
}

// DISKS.TXT as the program itself reads it back.
std::string ReadBack(StoreWorld& w) {
    const FileText file = ReadStoreFile(w.ctx, "DISKS.TXT");
    return file.error     ? "<" + ErrorWords(w.ctx, *file.error) + ">"
           : file.present ? file.text
                          : "<none>";
}

std::string FsckReportBeyondLostClusters(const StoreWorld& w) {
    const std::string image = w.dir / "slot0.img";
    testing::WriteFileBytes(image, w.Read(0, fat12::kVolumeBytes));
    return testing::FsckBeyondLostClusters(image);
}

// The free bytes slot 0 is left with beside DISKS.TXT: all there are, just
// what the new copy takes, or a cluster less.
enum class Room { All, Just, Short };

std::optional<std::size_t> RoomFor(int from, int to, Room room) {
    if (room == Room::All) {
        return std::nullopt;
    }
    StoreWorld probe;
    Prepare(probe, from);
    EXPECT_TRUE(CreateOrDescribe(probe, to));
    return (ReadBack(probe).size() + 511) / 512 * 512 - (room == Room::Short ? 512 : 0);
}

TEST(CrashSafety, AStopAtAnyWriteLeavesTheOldOrTheNewFileAndAtWorstLostClusters) {
    const bool fsck = testing::HaveTools({"fsck.fat"});
    if (!fsck) {
        std::printf("fsck.fat not installed; volumes not checked by it\n");
    }
    // Creation, a longer text replacing a shorter one, the reverse, a put; the
    // longer one with just the room it takes, and less: refused, unwritten.
    const Room all = Room::All;
    const std::tuple<int, int, Room> cases[] = {
        {-1, -1, all},   {0, 3000, all},           {3000, 10, all},
        {10, kPut, all}, {3000, 8000, Room::Just}, {3000, 8000, Room::Short}};
    for (const auto& [from, to, roomLeft] : cases) {
        const std::optional<std::size_t> room = RoomFor(from, to, roomLeft);
        StoreWorld whole;
        Prepare(whole, from, room);
        const std::string before = ReadBack(whole);
        const int prepared = whole.devices.Count(FaultOp::Write, "usbstore");
        const testing::Bytes slot0 = whole.Read(0, fat12::kVolumeBytes);
        ASSERT_EQ(CreateOrDescribe(whole, to), roomLeft != Room::Short);
        const int writes = whole.devices.Count(FaultOp::Write, "usbstore") - prepared;
        const std::string after = ReadBack(whole);
        if (roomLeft == Room::Short) {
            EXPECT_EQ(
                std::tuple(writes, whole.Read(0, fat12::kVolumeBytes) == slot0,
                           whole.OnlyMessage().find("does not fit beside") != std::string::npos),
                std::tuple(0, true, true));
            continue;
        }
        ASSERT_NE(after, before);
        for (int k = 1; k <= writes; ++k) {
            SCOPED_TRACE(std::to_string(from) + " -> " + std::to_string(to) + ", stop at write " +
                         std::to_string(k) + " of " + std::to_string(writes));
            StoreWorld w;
            Prepare(w, from, room);
            w.devices.StopAtWrite(w.devices.Count(FaultOp::Write, "usbstore") + k, "usbstore");
            EXPECT_TRUE(CreateOrDescribe(w, to));
            const std::string left = ReadBack(w);
            EXPECT_TRUE(left == before || left == after) << left;
            if (to == kPut) {  // its first write marks the slot, its last clears the mark
                EXPECT_EQ(SlotLeft(w), k == 1 ? "old" : k <= kSlotWrites ? "marked" : "new");
            }
            if (fsck) {
                EXPECT_EQ(FsckReportBeyondLostClusters(w), "");
            }
        }
    }
}

// A format or a restore marks the store with its first write and clears the
// mark with its last: after a stop at any write k the next listing either
// shows the complete new store or says that the operation did not finish.
TEST(CrashSafety, AFormatOrRestoreStoppedAtAnyWriteIsListedAsNotFinished) {
    for (const bool format : {true, false}) {
        SCOPED_TRACE(format ? "format" : "restore");
        StoreWorld w;
        std::string source = w.dir / "source.img";
        if (format) {
            w.InstallTemplate();
        } else {
            testing::MakeSparseFile(source, kStoreBytes);
            testing::PutBytes(source, 0, w.Read(0, fat12::kVolumeBytes));
            testing::MarkSlots(source, 7, {1, 500, 999});
        }
        // The next listing, by another program, after write k.
        StoreWorld lister;
        lister.state.devices.Row(1).path = w.store;
        std::vector<int> unmarkedAfter;
        int writes = 0;
        w.devices.After(
            FaultOp::Write, 0,
            [&](int k) {
                writes = k;
                const testing::Bytes first = w.Read(0, kSectorBytes);
                if (!HasWriteMark(std::as_bytes(std::span(first)))) {
                    unmarkedAfter.push_back(k);
                }
                if (k == 1 || k == 500) {
                    ASSERT_EQ(LoadDiskIds(lister.ctx), Outcome::Complete);
                    EXPECT_TRUE(lister.state.slotTable.writeUnfinished) << "after write " << k;
                }
            },
            "usbstore");
        ASSERT_EQ(format ? FormatStore(w.ctx, {"NEWSTORE", "FDISK", true})
                         : RestoreStoreFromFile(w.ctx, source),
                  OperationResult::Done());
        EXPECT_EQ(unmarkedAfter, std::vector<int>{writes}) << "unmarked only after the last write";
        ASSERT_EQ(LoadDiskIds(lister.ctx), Outcome::Complete);
        EXPECT_FALSE(lister.state.slotTable.writeUnfinished);
        if (format) {
            EXPECT_EQ(std::pair(*lister.state.slotTable.storeId, lister.model.grid.Cell(999, 1)),
                      std::pair(std::string("NEWSTORE"), std::string(" FDISK999    ")));
        } else {
            EXPECT_EQ(testing::FirstDifferentSlot(w.store, source), -1);
        }
    }
}

}  // namespace
}  // namespace quarnex
