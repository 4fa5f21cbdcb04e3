#include "store/slot_transfer.hpp"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "state/progress.hpp"
#include "state/reported_io.hpp"
#include "state/status.hpp"
#include "store/descriptions.hpp"
#include "store/disk_ids.hpp"
#include "store/store_paths.hpp"
#include "store/store_write_access.hpp"
#include "store/unit_loop.hpp"
#include "store/write_mark.hpp"

namespace quarnex {

namespace {

constexpr int kBlocks = static_cast<int>(kTracksPerImage);

// Slot 0 is the store's own volume and never a transfer target.
bool IsImageSlot(int n) {
    return n >= 1 && n < kSlotCount;
}

// Block k of slot n: the first one is positioned, the rest follow on.
std::int64_t BlockPosition(int n, int k) {
    return k == 0 ? static_cast<std::int64_t>(SlotOffset(n)) : kCurrentPosition;
}

std::size_t BlockOffset(int k) {
    return static_cast<std::size_t>(k) * kTrackBytes;
}

// A run over the slot's blocks stopped at its block; the caller's unit is the
// slot.
OperationResult InSlot(const OperationResult& run, int n) {
    return run.Complete() ? run : OperationResult::StoppedAt(n, run.cause);
}

const OperationResult kNoSlot = OperationResult::NotStarted(NotStartedReason::NoTarget);
const OperationResult kFailedToStart = OperationResult::NotStarted(NotStartedReason::Failure);

}  // namespace

OperationResult ImportFromSlot(Context& ctx, int n) {
    if (!IsImageSlot(n)) {
        return kNoSlot;
    }
    ProgramState& state = ctx.state;
    ctx.progress.Started();
    // A copy: the table must not change under the transfer while events run.
    const DeviceEntry store = state.SelectedEntry();
    DevHandle device =
        GetHandle(ctx, store.path, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    if (!device.Valid()) {
        return kFailedToStart;
    }
    BusyGuard busy(ctx.progress);
    busy.Enter();
    ctx.progress.Doing(Activity{.kind = ActivityKind::ImportFromSlot, .slot = n});

    const std::span<std::byte> image = state.imageBuffer.Span();
    const auto readBlock = [&](int k) {
        return AfterTransfer(ctx.progress,
                             ReadBlockAndReport(ctx, device, image, BlockOffset(k), kTrackBytes,
                                                BlockPosition(n, k), Reporting::Shown));
    };
    const OperationResult result = InSlot(RunUnits(ctx.progress, kBlocks, readBlock), n);
    ctx.progress.Finished();
    CloseDevHandle(ctx, device);

    if (result.Complete()) {
        SetBufferLabel(
            ctx, "USB Disk(" + ThreeDigits(n) + ")   [" + store.name + "  (" + store.path + ")]",
            false);
        state.imageSource = SourceUsbSlot;
        const SlotRecord& record = state.slotTable.Slot(n);
        state.slotTable.internalImage = {record.description, record.source};
    } else {
        SetBufferLabel(ctx, kUnreliableImageCaption, true);
        state.slotTable.internalImage = {};
    }
    return result;
}

OperationResult ExportToSlot(Context& ctx, int n) {
    if (!IsImageSlot(n)) {
        return kNoSlot;
    }
    ProgramState& state = ctx.state;
    ctx.progress.Started();
    BusyGuard busy(ctx.progress);
    std::optional<StoreWriteHandles> handles = OpenStoreForWriting(ctx, ctx.state.SelectedEntry());
    if (!handles) {
        return kFailedToStart;
    }
    busy.Enter();
    ctx.progress.Doing(Activity{.kind = ActivityKind::ExportToSlot, .slot = n});

    const std::span<const std::byte> image = state.imageBuffer.Span();
    // The first block goes on with its boot sector marked and reaches the
    // medium before the rest; the real boot sector is the last write. A stop
    // in between leaves a slot that says it was not completely written,
    // never one that looks whole with blocks of two disks.
    std::vector<std::byte> markedBlock(image.begin(), image.begin() + kTrackBytes);
    PutWriteMark(markedBlock);
    DevHandle& device = handles->device;
    bool touched = false;
    OperationResult result = RunUnits(ctx.progress, kBlocks, [&](int k) {
        if (k > 0) {
            return AfterTransfer(
                ctx.progress, WriteBlockAndReport(ctx, device, image, BlockOffset(k), kTrackBytes,
                                                  kCurrentPosition, Reporting::Shown));
        }
        touched = WriteBlockAndReport(ctx, device, markedBlock, 0, kTrackBytes, BlockPosition(n, 0),
                                      Reporting::Shown);
        return AfterTransfer(ctx.progress, touched && FlushDevHandle(ctx, device));
    });
    if (result.Complete()) {
        const bool unmarked = FlushDevHandle(ctx, device) &&
                              WriteBlockAndReport(ctx, device, image, 0, kSectorBytes,
                                                  BlockPosition(n, 0), Reporting::Shown);
        result = AfterFlush(result, unmarked, kBlocks - 1);
    }
    // The image is on the stick before the display says Finished.
    result = InSlot(
        AfterFlush(result, CloseStore(ctx, *handles, CloseOrder::DeviceFirst), kBlocks - 1), n);
    ctx.progress.Finished();

    if (!touched) {
        // Nothing reached the slot: it keeps its image, record and file.
        return kFailedToStart;
    }
    // The slot now starts with the image's boot sector (marked or not), so
    // its record names the image's ID, the one the next load shows, and its
    // description; the source only when the image arrived whole.
    SlotTable& table = state.slotTable;
    table.SetSource(n, result.Complete() ? table.internalImage.source : "");
    table.SetDiskId(n, DiskIdRecord(DiskIdFromBootSector(image)), SlotChange::DiskIdWritten);
    table.SetDescription(n, table.internalImage.description);
    SaveDescriptions(ctx, ctx.state.SelectedStore());
    return result;
}

}  // namespace quarnex
