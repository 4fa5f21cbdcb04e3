#include "store/slot_transfer.hpp"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "state/progress.hpp"
#include "state/reported_io.hpp"
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

const OperationResult kNoSlot = OperationResult::NotStarted(NotStartedReason::NoTarget);

}  // namespace

OperationResult ImportFromSlot(OperationPorts& ports, StoreInUse store, int n,
                               std::span<std::byte> image) {
    if (!IsImageSlot(n)) {
        return kNoSlot;
    }
    ports.progress.Started();
    Result<DevHandle> opened = GetHandle(ports, store.device.path, Access::Read,
                                         Disposition::OpenExisting, Reporting::Shown);
    if (!opened) {
        return OperationResult::NotStarted(opened.Error());
    }
    DevHandle& device = opened.Value();
    BusyGuard busy(ports.progress);
    busy.Enter();
    ports.progress.Doing(Activity{.kind = ActivityKind::ImportFromSlot, .slot = n});

    const auto readBlock = [&](int k) {
        return AfterTransfer(ports.progress,
                             ReadBlockAndReport(ports, device, image, BlockOffset(k), kTrackBytes,
                                                BlockPosition(n, k), Reporting::Shown));
    };
    // A run over the slot's blocks stops at a block; the caller's unit is the slot.
    const OperationResult result = RunUnits(ports.progress, kBlocks, readBlock).AtUnit(n);
    ports.progress.Finished();

    if (result.Complete()) {
        const SlotRecord& record = store.records.Slot(n);
        store.records.internalImage = {record.description, record.source};
    } else {
        store.records.internalImage = {};
    }
    return result;
}

SlotWrite WriteImageToSlot(OperationPorts& ports, DevHandle& device, int n,
                           std::span<const std::byte> image) {
    // The first block goes on with its boot sector marked and reaches the
    // medium before the rest; the real boot sector is the last write. A stop
    // in between leaves a slot that says it was not completely written,
    // never one that looks whole with blocks of two disks.
    std::vector<std::byte> markedBlock(image.begin(), image.begin() + kTrackBytes);
    PutWriteMark(markedBlock);
    bool touched = false;
    OperationResult result = RunUnits(ports.progress, kBlocks, [&](int k) {
        if (k > 0) {
            return AfterTransfer(
                ports.progress,
                WriteBlockAndReport(ports, device, image, BlockOffset(k), kTrackBytes,
                                    kCurrentPosition, Reporting::Shown));
        }
        const Status marked = WriteBlockAndReport(ports, device, markedBlock, 0, kTrackBytes,
                                                  BlockPosition(n, 0), Reporting::Shown);
        touched = marked.Ok();
        return AfterTransfer(ports.progress, marked ? FlushDevHandle(ports, device) : marked);
    });
    if (result.Complete()) {
        Status unmarked = FlushDevHandle(ports, device);
        if (unmarked) {
            unmarked = WriteBlockAndReport(ports, device, image, 0, kSectorBytes,
                                           BlockPosition(n, 0), Reporting::Shown);
        }
        result = AfterFlush(result, unmarked, kBlocks - 1);
    }
    return {result, touched};
}

void RecordImageInSlot(SlotTable& table, int n, std::span<const std::byte> image,
                       const ImageRecord& from, bool complete) {
    // The slot now starts with the image's boot sector (marked or not), so
    // its record names the image's ID, the one the next load shows, and its
    // description; the source only when the image arrived whole.
    table.SetSource(n, complete ? from.source : "");
    table.SetDiskId(n, DiskIdRecord(DiskIdFromBootSector(image)), SlotChange::DiskIdWritten);
    table.SetDescription(n, from.description);
}

OperationResult ExportToSlot(OperationPorts& ports, StoreInUse store, int n,
                             std::span<const std::byte> image, ReadBack readBack) {
    if (!IsImageSlot(n)) {
        return kNoSlot;
    }
    ports.progress.Started();
    BusyGuard busy(ports.progress);
    Result<StoreWriteHandles> opened = OpenStoreForWriting(ports, store.device);
    if (!opened) {
        return OperationResult::NotStarted(opened.Error());
    }
    StoreWriteHandles& handles = opened.Value();
    busy.Enter();
    ports.progress.Doing(Activity{.kind = ActivityKind::ExportToSlot, .slot = n});

    const SlotWrite written = WriteImageToSlot(ports, handles.device, n, image);
    // The image is on the stick before the display says Finished.
    OperationResult result =
        AfterFlush(written.result, CloseStore(ports, handles, CloseOrder::DeviceFirst), kBlocks - 1)
            .AtUnit(n);
    // The slot is read back once all of it, boot sector last, is on the medium.
    const bool checked = result.Complete() && readBack == ReadBack::On;
    if (checked) {
        result = ReadBackSlots(ports, store.device.path, n, n,
                               [&](int) { return Result<std::span<const std::byte>>(image); });
    }
    if (checked && !result.Complete()) {
        ports.progress.Failed();
    } else {
        ports.progress.Finished();
    }

    if (!written.touched) {
        // Nothing reached the slot: it keeps its image, record and file.
        return result.error ? OperationResult::NotStarted(*result.error)
                            : OperationResult::NotStarted(NotStartedReason::Failure);
    }
    RecordImageInSlot(store.records, n, image, store.records.internalImage, result.Complete());
    SaveDescriptions(ports, store);
    return result;
}

}  // namespace quarnex
