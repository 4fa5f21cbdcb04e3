// Failures and cancels of every long store transfer, one table: each row
// fails one step (or cancels) and says which looked-at units of the written
// target end up new, old or partly written.
#include <gtest/gtest.h>

#include "commands/main_commands.hpp"

#include <cstring>
#include <filesystem>
#include <optional>
#include <utility>

#include "core/text.hpp"
#include "store/format_usb.hpp"
#include "store/slot_transfer.hpp"
#include "store/store_file_copy.hpp"
#include "store/write_mark.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

using namespace testing;

enum class Writer { Format, Backup, Restore, Export, Import };

constexpr unsigned kOldSeed = 40;
constexpr unsigned kNewSeed = 90;

// Sets up the writer's source and target with recognisable old and new
// bytes; a unit is a slot of the whole-store writers and a track of the
// single-slot ones.
struct WriterWorld : StoreWorld {
    explicit WriterWorld(Writer writer) : writer(writer) {
        switch (writer) {
            case Writer::Format:
                probes = {1, 2, 3, 11, 999, 0};
                templateBytes = InstallTemplate();
                break;
            case Writer::Backup:  // over an older backup and its descriptions
                probes = {0, 1, 2, 999};
                MakeSparseFile(file, kStoreBytes);
                MarkSlots(file, kOldSeed, probes);
                WriteFileText(file + ".txt", "old notes");
                break;
            case Writer::Restore:
                probes = {0, 1, 2, 3, 999};
                MakeSparseFile(file, kStoreBytes);
                MarkSlots(file, kNewSeed, probes);
                break;
            case Writer::Export:
                probes = {0, 1, 158, 159};
                PutPattern(store, SlotOffset(12), kSlotStride, kOldSeed);
                std::memcpy(Image().data(), Pattern(0, kImageBytes, kNewSeed).data(), kImageBytes);
                state.slotTable.internalImage.description = "image text";
                state.slotTable.SetDescription(12, "old");
                return;
            case Writer::Import:
                probes = {0, 1, 78, 79, 159};
                PutPattern(store, SlotOffset(9), kImageBytes, kNewSeed);
                std::memset(Image().data(), kOldSeed, kImageBytes);
                state.status.bufferCaption = "Image.img";
                return;
        }
        MarkSlots(store, writer == Writer::Backup ? kNewSeed : kOldSeed, probes);
    }

    OperationResult Run() {
        std::string path = file;
        return writer == Writer::Format    ? FormatSelectedStore(ctx, {"DEVID", "FDISK", true})
               : writer == Writer::Backup  ? BackupSelectedStore(ctx, path).copy
               : writer == Writer::Restore ? ImportStoreFromFile(ctx, file)
               : writer == Writer::Export
                   ? ExportToSlot(ctx, state.SelectedStore(), 12, state.imageBuffer.Span())
                   : ReadSlotIntoImage(ctx, 9);
    }

    bool UnitIs(int unit, bool fresh) {
        const std::uint64_t track = static_cast<std::uint64_t>(unit) * kTrackBytes;
        switch (writer) {
            case Writer::Format:
                return fresh ? Unmarked(Read(SlotOffset(unit), kSlotStride)) == Formatted(unit)
                             : SlotMarked(store, unit, kOldSeed);
            case Writer::Backup:
                return SlotMarked(file, unit, fresh ? kNewSeed : kOldSeed);
            case Writer::Restore:
                return SlotMarked(store, unit, fresh ? kNewSeed : kOldSeed);
            case Writer::Export:  // the first track may carry the mark of the unfinished write
                return Unmarked(Read(SlotOffset(12) + track, kTrackBytes),
                                Pattern(0, kSectorBytes, kNewSeed)) ==
                       (fresh ? Pattern(track, kTrackBytes, kNewSeed)
                              : Pattern(SlotOffset(12) + track, kTrackBytes, kOldSeed));
            case Writer::Import:
                break;
        }
        return BytesOf(Image(), track, kTrackBytes) ==
               (fresh ? Pattern(SlotOffset(9) + track, kTrackBytes, kNewSeed)
                      : Bytes(kTrackBytes, kOldSeed));
    }

    // A slot as it reads with the mark of an unfinished write put back to the
    // bytes it replaced (the template's, unless given).
    Bytes Unmarked(Bytes slot, const Bytes& clean = {}) const {
        if (HasWriteMark(std::as_bytes(std::span(slot)))) {
            std::copy_n((clean.empty() ? templateBytes : clean).begin() + kWriteMarkOffset,
                        kWriteMark.size(), slot.begin() + kWriteMarkOffset);
        }
        return slot;
    }

    Bytes Formatted(int slot) const {
        return FormattedSlot(templateBytes, slot,
                             slot == 0 ? "DEVID      " : "FDISK" + ThreeDigits(slot) + "   ");
    }

    Writer writer;
    std::vector<int> probes;
    Bytes templateBytes;
    // The backup's target, or the file a restore reads.
    std::string file = dir / (writer == Writer::Restore ? "import.img" : "backup");
};

struct Row {
    const char* name;
    Writer writer;
    std::optional<Fault> fault;
    int cancelAfter;  // the user cancels after this many transfers (0: never)
    OperationResult result;
    const char* report;  // part of the one message shown; nullptr: none
    const char* units;   // per probe: n new, o old, ? partly written
};

TEST(StoreWriters, FailuresAndCancelsLeaveTheTargetAsDescribed) {
    using enum FaultOp;
    using enum Writer;
    const OperationResult notStarted = OperationResult::NotStarted(NotStartedReason::Failure);
    const auto failedAt = [](int unit) {
        return OperationResult{Outcome::Incomplete, unit, StopCause::Failure};
    };
    const auto cancelledAt = OperationResult::CancelledAt;
    // Opening, dismounting and flushing the store for writing are shared by
    // the format, the restore and the slot export: one row each.
    // clang-format off
    const Row rows[] = {
        {"template cannot be opened", Format, Fault{Open, 1, "FAT12.144", EACCES}, 0, notStarted, "was generated by GetHandle\r\n", "oooooo"},
        {"template read comes up short", Format, Fault{Read, 1, "FAT12.144", 0, 512}, 0, notStarted, "was generated by QrnMfntReadPtr.ReadFile\r\n", "oooooo"},
        {"store volume cannot be opened", Export, StoreFault(Open, 1, EACCES), 0, notStarted, "by GetHandle", "oooo"},
        {"store cannot be dismounted", Restore, StoreFault(Dismount, 1, EBUSY), 0, notStarted, "by UnmountVolume", "ooooo"},
        {"store device cannot be opened", Format, StoreFault(Open, 2, EACCES), 0, notStarted, "by GetHandle", "oooooo"},
        {"store cannot be flushed", Format, StoreFault(Flush, 2), 0, failedAt(999), "CloseDevHandle.Flush", "nnnnnn"},
        {"marking the store fails", Format, StoreFault(Write, 1), 0, failedAt(0), "WritePtr.WriteFile", "oooooo"},
        {"format write fails", Format, StoreFault(Write, 2), 0, failedAt(1), "WritePtr.WriteFile", "ooooon"},
        {"format positioning fails", Format, StoreFault(Seek, 3, EINVAL), 0, failedAt(2), "WritePtr.SetFilePointer", "noooon"},
        {"format write comes up short", Format, StoreFault(Write, 4, 0, 512), 0, failedAt(3), "WritePtr.WriteFile", "nn?oon"},
        {"slot 0 fails after the rest", Format, StoreFault(Write, 1001), 0, failedAt(999), "WritePtr.WriteFile", "nnnnno"},
        {"format cancelled", Format, std::nullopt, 11, cancelledAt(10), nullptr, "nnnoon"},
        {"unmarking the store fails", Format, StoreFault(Write, 1002), 0, failedAt(999), "WritePtr.WriteFile", "nnnnnn"},
        {"backup store cannot be opened", Backup, StoreFault(Open, 1, EACCES), 0, notStarted, "GetHandle", "oooo"},
        {"backup target cannot be created", Backup, Fault{Open, 1, "backup", EROFS}, 0, notStarted, "GetHandle", "oooo"},
        {"backup read fails", Backup, StoreFault(Read, 3), 0, failedAt(2), "ReadPtr.ReadFile", "oooo"},
        {"backup write fails", Backup, Fault{Write, 2, "backup", ENOSPC}, 0, failedAt(1), "WritePtr.WriteFile", "oooo"},
        {"backup target cannot be flushed", Backup, Fault{Flush, 1, "backup", EIO}, 0, failedAt(999), "CloseDevHandle.Flush", "oooo"},
        {"backup cancelled", Backup, std::nullopt, 3, cancelledAt(2), nullptr, "oooo"},
        {"restore file cannot be opened", Restore, Fault{Open, 1, "import", EACCES}, 0, notStarted, "GetHandle", "ooooo"},
        {"restore read fails", Restore, Fault{Read, 4, "import", EIO}, 0, failedAt(2), "ReadPtr.ReadFile", "nnooo"},
        {"restore write fails", Restore, StoreFault(Write, 4), 0, failedAt(2), "WritePtr.WriteFile", "nnooo"},
        {"restore cancelled", Restore, std::nullopt, 4, cancelledAt(2), nullptr, "nnnoo"},
        {"export's last write fails", Export, StoreFault(Write, 160, ENOSPC), 0, failedAt(12), "WritePtr.WriteFile", "nnno"},
        {"export cancelled", Export, std::nullopt, 1, cancelledAt(12), nullptr, "nooo"},
        // Sticks that take writes and lose them (track 2 here), or wrap them
        // around onto earlier slots (past slot 499 here): every write succeeds,
        // the read-back after the last one fails, naming the slot.
        {"export loses a write", Export, Fault{Write, 3, "usbstore", 0, 0, true}, 0, failedAt(12), "\r\nSlot 012 does not read back as written: its byte 18,432 differs.\r\n", "nnnn"},
        {"format on a stick that wraps", Format, Fault{Write, 0, "usbstore", 0, 0, false, SlotOffset(500)}, 0, failedAt(1), "\r\nSlot 001 does not read back as written: its byte ", "????on"},
        {"restore on a stick that wraps", Restore, Fault{Write, 0, "usbstore", 0, 0, false, SlotOffset(500)}, 0, failedAt(0), "\r\nSlot 000 does not read back as written: its byte ", "????o"},
        {"import device cannot be opened", Import, StoreFault(Open, 1, EACCES), 0, notStarted, "get a handle for ", "ooooo"},
        {"import positioning fails", Import, StoreFault(Seek, 1, EINVAL), 0, failedAt(9), "SetFilePointer", "ooooo"},
        {"import read fails", Import, StoreFault(Read, 80), 0, failedAt(9), "ReadPtr.ReadFile", "nnnoo"},
        {"import cancelled after the last read", Import, std::nullopt, 160, cancelledAt(9), nullptr, "nnnnn"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WriterWorld w(row.writer);
        const bool reads = row.writer == Backup || row.writer == Import;
        w.Arm(row.fault, reads ? Read : Write, row.cancelAfter);

        OperationResult result = w.Run();
        // A failure hands its caller the record of the step that failed.
        const std::optional<ErrorRecord> error = std::exchange(result.error, std::nullopt);
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(error.has_value(), row.report != nullptr);

        for (std::size_t k = 0; k < w.probes.size(); ++k) {
            if (row.units[k] != '?') {
                EXPECT_TRUE(w.UnitIs(w.probes[k], row.units[k] == 'n')) << "unit " << w.probes[k];
            }
        }
        const bool ran = row.result.outcome != Outcome::NotStarted;
        if (row.writer == Format || row.writer == Restore || row.writer == Export) {
            // A store (or the exported slot) that mixes old and new says so;
            // one that lost writes cannot know, and its read-back says so.
            const bool lost = row.fault && (row.fault->dropped || row.fault->wrapsAt != 0);
            const bool mixed =
                !row.result.Complete() && !lost &&
                std::string_view(row.units).find_first_of("n?") != std::string_view::npos;
            const Bytes first = w.Read(row.writer == Export ? SlotOffset(12) : 0, kSectorBytes);
            EXPECT_EQ(HasWriteMark(std::as_bytes(std::span(first))), mixed);
        }
        const std::string& progress = w.state.status.progressLabel;
        switch (row.writer) {
            case Import:  // once opened, the image is unreliable whatever was read
                EXPECT_EQ(w.state.status.bufferCaption, ran ? "... ? ..." : "Image.img");
                break;
            case Restore:  // the window resets after a run, which shows "Failed"
                EXPECT_EQ(w.state.selectedDevice, ran ? 0 : 1);
                EXPECT_EQ(progress == "Progress       Failed", ran);
                break;
            case Backup:  // nothing but a complete copy replaces the old one
                EXPECT_EQ(ReadFileText(w.file + ".txt") == "old notes", !row.result.Complete());
                for (const auto& entry : std::filesystem::directory_iterator(w.dir.Path())) {
                    EXPECT_FALSE(entry.path().string().ends_with(".quarnex-part"));
                }
                EXPECT_EQ(w.state.status.actionLabel, ran ? "Export of USB Disk(" +
                                                                ThreeDigits(row.result.unit) +
                                                                ") to " + ShortenPath(w.file)
                                                          : "");
                break;
            case Export:
                EXPECT_EQ(w.state.slotTable.Slot(12).description, ran ? "image text" : "old");
                break;
            case Format:
                EXPECT_NE(progress, "Progress      Finished");
        }
        w.ExpectReport(row.report);
        if (error && !w.ui.messages.empty()) {  // the record of the error shown
            const std::string tag = error->caughtBy.value_or("") + error->source;
            EXPECT_NE(w.ui.messages.back().text.find(" by " + tag + "\r\n"), std::string::npos);
            EXPECT_FALSE(error->source.empty());
        }
        w.ExpectSettled();
    }
}

}  // namespace
}  // namespace quarnex
