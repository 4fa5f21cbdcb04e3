#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <tuple>
#include <utility>

#include "commands/main_commands.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/geometry.hpp"
#include "store/descriptions.hpp"
#include "store/descriptions_file.hpp"
#include "store/disk_ids.hpp"
#include "store/format_usb.hpp"
#include "store/slot_transfer.hpp"
#include "store/store_file_copy.hpp"
#include "store/volume_files.hpp"
#include "store/write_mark.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

using fat12::ApplyStages;
using fat12::StageFileWrite;
using fat12::StageMakeFolder;
using namespace testing;

bool SaveWithRow5(StoreWorld& w, int length) {
    w.state.slotTable.SetDescription(5, std::string(static_cast<std::size_t>(length), 'd'));
    return SaveDescriptions(w.ctx, w.state.SelectedStore());
}

// A store without DISKS.TXT (row5 < 0), or with one whose slot 5 has a
// description of row5 characters; room: a file leaves only that much free.
void Prepare(StoreWorld& w, int row5, std::optional<std::size_t> room = std::nullopt) {
    SetGridIds(w.state, "FDISK", true);
    if (row5 >= 0) {
        ASSERT_TRUE(LoadDescriptions(w.ctx, w.state.SelectedStore()));
        ASSERT_TRUE(SaveWithRow5(w, row5));
    }
    if (room) {
        const Bytes slot0 = w.Read(0, fat12::kVolumeBytes);
        w.PutSlot0File("FILL.BIN",
                       std::string(fat12::FreeBytes(std::as_bytes(std::span(slot0))) - *room, 'f'));
    }
}

// A put: slot 12 gets a new image, then DISKS.TXT its source record. The
// bytes around slot 12 start old.
constexpr int kPut = -2;
constexpr std::uint64_t kAround = SlotOffset(12) - kTrackBytes;
constexpr std::size_t kAroundBytes = kSlotStride + 2 * kTrackBytes;
const Bytes kNewImage = Pattern(0, kImageBytes, 2);
constexpr int kSlotWrites = static_cast<int>(kTracksPerImage) + 1;  // the last is the boot sector

// Creates DISKS.TXT (row5 -1), describes slot 5 with row5 characters, or puts.
bool CreateOrDescribe(StoreWorld& w, int row5) {
    if (row5 == kPut) {
        PutPattern(w.store, kAround, kAroundBytes, 1);
        std::copy(kNewImage.begin(), kNewImage.end(),
                  reinterpret_cast<unsigned char*>(w.Image().data()));
        w.state.slotTable.internalImage.source = "new.img";
        // A killed run never reaches its read-back.
        return ExportToSlot(w.ctx, w.state.SelectedStore(), 12, w.state.imageBuffer.Span(),
                            ReadBack::Off)
            .Complete();  // which saves DISKS.TXT too
    }
    return row5 < 0 ? LoadDescriptions(w.ctx, w.state.SelectedStore()) : SaveWithRow5(w, row5);
}

// What a stop left of slot 12, as the bytes and the next listing (by another
// program) show it: "old" with its neighbours, "new" whole and unmarked,
// "marked" as not completely written, or "torn" (mixed yet looking whole).
std::string SlotLeft(const StoreWorld& w) {
    const Bytes left = w.Read(kAround, kAroundBytes);
    Bytes expected = Pattern(kAround, kAroundBytes, 1);
    if (left == expected) {
        return "old";
    }
    StoreWorld lister;
    lister.state.devices.Row(1).path = w.store;
    EXPECT_EQ(LoadDiskIds(lister.ctx, lister.state.SelectedStore()), Outcome::Complete);
    if (lister.state.slotTable.Slot(12).writeUnfinished) {
        return "marked";
    }
    std::copy(kNewImage.begin(), kNewImage.end(), expected.begin() + kTrackBytes);
    return left == expected ? "new" : "torn";
}

// DISKS.TXT as the program itself reads it back.
std::string ReadBack(StoreWorld& w) {
    const FileText file = ReadStoreFile(w.ctx, w.state.SelectedEntry(), "DISKS.TXT");
    return file.error     ? "<" + ErrorWords(w.ctx, *file.error) + ">"
           : file.present ? file.text
                          : "<none>";
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
    const bool fsck = HaveTools({"fsck.fat"});
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
        const Bytes slot0 = whole.Read(0, fat12::kVolumeBytes);
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
                WriteFileBytes(w.dir / "slot0.img", w.Read(0, fat12::kVolumeBytes));
                EXPECT_EQ(FsckBeyondLostClusters(w.dir / "slot0.img"), "");
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
        SlotTable& table = w.state.slotTable;
        table.internalImage = {"desc", "src"};
        table.SetDescription(999, "desc");
        const int& flushesAtFinished = w.FlushesAtFinished("usbstore");
        if (format) {
            w.InstallTemplate();
        } else {
            MakeSparseFile(source, kStoreBytes);
            PutBytes(source, 0, w.Read(0, fat12::kVolumeBytes));
            MarkSlots(source, 7, {1, 500, 999});
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
                const Bytes first = w.Read(0, kSectorBytes);
                if (!HasWriteMark(std::as_bytes(std::span(first)))) {
                    unmarkedAfter.push_back(k);
                }
                if (k == 1 || k == 500) {
                    ASSERT_EQ(LoadDiskIds(lister.ctx, lister.state.SelectedStore()),
                              Outcome::Complete);
                    EXPECT_TRUE(lister.state.slotTable.writeUnfinished) << "after write " << k;
                }
            },
            "usbstore");
        ASSERT_EQ(format ? FormatSelectedStore(w.ctx, {"NEWSTORE", "FDISK", true})
                         : RestoreSelectedStore(w.ctx, source),
                  OperationResult::Done());
        EXPECT_EQ(unmarkedAfter, std::vector<int>{writes}) << "unmarked only after the last write";
        ASSERT_EQ(LoadDiskIds(lister.ctx, lister.state.SelectedStore()), Outcome::Complete);
        EXPECT_FALSE(lister.state.slotTable.writeUnfinished);
        if (format) {
            // Finished only once flushed; slot 0's texts stay, the others' go; the base is kept.
            EXPECT_EQ(std::tuple(flushesAtFinished, w.ui.actionLabels.back(), table.baseId,
                                 table.internalImage.source + table.Slot(999).description),
                      std::tuple(5, "Formatting USB  sdb  Disk(999)", "FDISK", "src"));
        }
    }
}

constexpr const char* kFloppy = "floppy.img";

// Files changed inside a floppy image: a volume with a file in the root and one in a folder (room
// >= 0: bytes free).
void PrepareFloppy(StoreWorld& w, long room = -1) {
    std::vector<std::byte> volume(fat12::kVolumeBytes);
    fat12::BuildBlankVolume(volume, "CRASH");
    const auto write = [&](const std::string& path, std::size_t bytes, char c) {
        ASSERT_EQ(ApplyStages(volume, path == "Sub" ? StageMakeFolder(volume, path, {})
                                                    : StageFileWrite(volume, path,
                                                                     std::string(bytes, c), {})),
                  fat12::Status::Ok);
    };
    write("OLD.TXT", 3000, 'o');
    write("Sub", 0, 0);
    write("Sub/inner file.txt", 700, 'i');
    if (room >= 0) {
        write("FILL.BIN", fat12::FreeBytes(volume) - static_cast<std::size_t>(room), 'f');
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(volume.data());
    WriteFileBytes(w.dir / kFloppy, {bytes, bytes + volume.size()});
    WriteFileText(w.dir / "OLD.TXT", std::string(5000, 'n'));
    WriteFileText(w.dir / "A new long name.txt", "new file");
    WriteFileText(w.dir / "inner file.txt", std::string(100, 'm'));
}

// What a path in the volume holds: its text, "<folder>" or "<absent>".
std::string Held(const StoreWorld& w, const std::string& path) {
    const std::vector<unsigned char> bytes = ReadFileBytes(w.dir / kFloppy);
    const auto volume = std::as_bytes(std::span(bytes));
    const fat12::FileRead read = fat12::ReadFile(volume, path);
    return read.status == fat12::Status::IsAFolder  ? "<folder>"
           : read.status == fat12::Status::NotFound ? "<absent>"
           : read.status == fat12::Status::Ok       ? read.contents
                                                    : fat12::StatusText(read.status);
}

struct Change {
    const char* name;
    std::function<FilesResult(StoreWorld&)> run;
    std::vector<std::string> paths;  // in the volume: each old or new afterwards
    long room = -1;                  // bytes left free beforehand (as PrepareFloppy)
};

TEST(VolumeFilesCrash, AStopAtAnyWriteLeavesEachFileOldOrNewAndAtWorstLostClusters) {
    const auto target = [](StoreWorld& w) { return VolumeTarget{w.dir / kFloppy, std::nullopt}; };
    const auto put = [&](StoreWorld& w, std::vector<std::string> files, std::string folder) {
        return PutFiles(w.ctx, target(w),
                        {std::move(files), std::move(folder), true, false, {}, ReadBack::Off});
    };
    // clang-format off
    const std::vector<Change> changes = {
        {"put", [&](StoreWorld& w) { return put(w, {w.dir / "OLD.TXT", w.dir / "A new long name.txt"}, ""); }, {"OLD.TXT", "A new long name.txt"}},
        {"put into a folder", [&](StoreWorld& w) { return put(w, {w.dir / "inner file.txt"}, "Sub"); }, {"Sub/inner file.txt"}},
        {"rm", [&](StoreWorld& w) { return RemoveFiles(w.ctx, target(w), {"Sub/inner file.txt", "Sub", "OLD.TXT"}); }, {"Sub/inner file.txt", "Sub", "OLD.TXT"}},
        {"mkdir", [&](StoreWorld& w) { return MakeVolumeFolder(w.ctx, target(w), "A new folder"); }, {"A new folder"}},
        // The 5000 bytes take 10 clusters: just the room left beside the old 3000.
        {"put with just enough room beside the old file", [&](StoreWorld& w) { return put(w, {w.dir / "OLD.TXT"}, ""); }, {"OLD.TXT"}, 5120},
    };
    // clang-format on
    for (const Change& change : changes) {
        StoreWorld whole;
        PrepareFloppy(whole, change.room);
        std::vector<std::string> before;
        for (const std::string& path : change.paths) {
            before.push_back(Held(whole, path));
        }
        ASSERT_TRUE(change.run(whole).Ok()) << change.name;
        const int writes = whole.devices.Count(FaultOp::Write, kFloppy);
        EXPECT_EQ(FsckBeyondLostClusters(whole.dir / kFloppy), "");
        for (int k = 0; k < writes; ++k) {
            SCOPED_TRACE(std::string(change.name) + ", stopped after write " + std::to_string(k) +
                         " of " + std::to_string(writes));
            // Killed there, or failing with EIO: then each file is old or new, as reported.
            for (const bool killed : {true, false}) {
                StoreWorld w;
                PrepareFloppy(w, change.room);
                killed ? w.devices.StopAtWrite(k + 1, kFloppy)
                       : w.devices.Inject({FaultOp::Write, k + 1, kFloppy});
                const FilesResult result = change.run(w);
                EXPECT_EQ(result.failure, killed ? FilesFailure::None : FilesFailure::Write);
                for (std::size_t i = 0; i < change.paths.size(); ++i) {
                    const std::string held = Held(w, change.paths[i]);
                    EXPECT_TRUE(held == before[i] || held == Held(whole, change.paths[i]))
                        << change.paths[i] << ": " << held.substr(0, 40);
                }
                EXPECT_EQ(FsckBeyondLostClusters(w.dir / kFloppy), "");
            }
        }
    }
    // A medium that takes a write (the new file's data) and loses it fails
    // the put's read-back, which names the first byte that differs.
    StoreWorld w;
    PrepareFloppy(w);
    w.devices.Inject({FaultOp::Write, 2, kFloppy, 0, 0, true});
    const FilesResult lost =
        PutFiles(w.ctx, target(w), {{w.dir / "inner file.txt"}, "", true, false, {}});
    EXPECT_EQ(std::tie(lost.failure, lost.detail), std::tuple(FilesFailure::ReadBack, "21,504"));
}

}  // namespace
}  // namespace quarnex
