#include "store/store_file_copy.hpp"

#include <algorithm>
#include <array>
#include <span>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "state/error_report.hpp"
#include "state/output_guard.hpp"
#include "state/progress.hpp"
#include "state/reported_io.hpp"
#include "store/descriptions.hpp"
#include "store/store_paths.hpp"
#include "store/store_write_access.hpp"
#include "store/unit_loop.hpp"
#include "store/write_mark.hpp"

namespace quarnex {

namespace {

const OperationResult kRefused = OperationResult::NotStarted(NotStartedReason::Refused);

// Room a backup may need: a sparse store file holds no more than it
// occupies (its holes stay holes in the copy); anything else, all of it.
std::uint64_t BackupBytes(OperationPorts& ports, const std::string& storePath) {
    const LengthResult length = ports.devices.FileLength(storePath);
    if (length.length && ports.devices.FileExists(storePath)) {
        return std::min<std::uint64_t>(length.allocated, kStoreBytes);
    }
    return kStoreBytes;
}

}  // namespace

BackupResult BackupStoreToFile(OperationPorts& ports, StoreInUse source, const std::string& path,
                               std::span<std::byte> slotBuffer) {
    ports.progress.Started();
    BusyGuard busy(ports.progress);
    const DeviceEntry& store = source.device;
    // Replacing the export target must never destroy the store being read,
    // and a backup that cannot be completed must not cost the previous one.
    const std::string title = "Export 1000 Floppy Image";
    if (RefuseStoreOverlap(ports, path, store.path, title) ||
        RefuseUnusableOutput(ports, path, BackupBytes(ports, store.path), title) ||
        RefuseUnusableOutput(ports, DescriptionsOutputName(path), 0, title)) {
        return {kRefused};
    }
    // The device first: a store that cannot be read leaves an existing file
    // as it was.
    Result<DevHandle> openedStore =
        GetHandle(ports, store.path, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    if (!openedStore) {
        return {OperationResult::NotStarted(openedStore.Error())};
    }
    Result<DevHandle> openedFile =
        GetHandle(ports, path, Access::Write, Disposition::Replace, Reporting::Shown);
    if (!openedFile) {
        return {OperationResult::NotStarted(openedFile.Error())};
    }
    busy.Enter();
    DevHandle device = std::move(openedStore).Value();
    DevHandle file = std::move(openedFile).Value();

    const std::span<std::byte> buffer = slotBuffer;
    BackupResult result;
    result.copy = RunUnits(ports.progress, kSlotCount, [&](int n) {
        ports.progress.Doing(Activity{.kind = ActivityKind::BackupSlot, .slot = n, .path = path});
        if (Status read = ReadBlockAndReport(ports, device, buffer, 0, kSlotStride,
                                             kCurrentPosition, Reporting::Shown);
            !read) {
            return UnitStep::Failed(read.Error());
        }
        // A cancel stops the copy before the slot just read is written.
        if (ports.progress.CancelAsked()) {
            return UnitStep::Cancelled();
        }
        Status written = WriteBlockAndReport(ports, file, buffer, 0, kSlotStride, kCurrentPosition,
                                             Reporting::Shown);
        return written ? UnitStep::Done() : UnitStep::Failed(written.Error());
    });
    device = DevHandle();
    // Only a complete copy takes the previous backup's place; anything less
    // is dropped with the old file untouched.
    if (result.copy.Complete()) {
        result.copy = AfterFlush(result.copy, CommitDevHandle(ports, file), kSlotCount - 1);
    } else {
        file = DevHandle();
    }
    if (result.copy.Complete()) {
        ports.progress.Finished();
        // The descriptions belong beside a complete backup only.
        result.descriptionsWritten = SaveDescriptionsCopy(ports, source.records, path);
    }
    return result;
}

OperationResult RestoreStoreFromFile(OperationPorts& ports, const DeviceEntry& store,
                                     const std::string& path, std::span<std::byte> slotBuffer,
                                     ReadBack readBack) {
    ports.progress.Started();
    BusyGuard busy(ports.progress);
    // Reading a file that lies on the store while the store is rewritten
    // would copy back what was already overwritten.
    if (RefuseStoreOverlap(ports, path, store.path, "Import 1000 Floppy Image")) {
        return kRefused;
    }
    const LengthResult length = ports.devices.FileLength(path);
    if (!length.length) {
        ErrorRecord error =
            CaughtBy(SystemCallError(length.error, "FileLen", "", path), "QrnMfntCopyFileToUSB.");
        ErrorReport(ports, error);
        return OperationResult::NotStarted(std::move(error));
    }
    if (*length.length != kStoreBytes) {
        RefuseStoreFileLength(ports, path, *length.length);
        return kRefused;
    }
    Result<DevHandle> opened =
        GetHandle(ports, path, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    if (!opened) {
        return OperationResult::NotStarted(opened.Error());
    }
    DevHandle& file = opened.Value();
    Result<StoreWriteHandles> handles = OpenStoreForWriting(ports, store);
    if (!handles) {
        return OperationResult::NotStarted(handles.Error());
    }
    busy.Enter();

    // The file's first sector, marked, reaches the medium before any slot
    // changes; the mark goes only when every slot is on the medium.
    std::array<std::byte, kSectorBytes> fileFirst{};
    std::array<std::byte, kSectorBytes> marked{};
    Status started =
        ReadBlockAndReport(ports, file, fileFirst, 0, kSectorBytes, 0, Reporting::Shown);
    if (started) {
        marked = fileFirst;
        PutWriteMark(marked);
        started = WriteFirstSector(ports, handles.Value().device, marked);
    }
    const std::span<std::byte> buffer = slotBuffer;
    OperationResult result =
        started ? OperationResult::Done() : OperationResult::FailedAt(0, started.Error());
    if (started) {
        result = RunUnits(ports.progress, kSlotCount, [&](int n) {
            ports.progress.Doing(
                Activity{.kind = ActivityKind::RestoreSlot, .slot = n, .path = path});
            // Slot 0 goes on with the mark; the first transfer starts over at
            // the beginning of both.
            const std::int64_t position = n == 0 ? 0 : kCurrentPosition;
            const Status read =
                ReadBlockAndReport(ports, file, buffer, 0, kSlotStride, position, Reporting::Shown);
            if (n == 0) {
                std::copy(marked.begin(), marked.end(), buffer.begin());
            }
            // A cancel stops the copy after the current slot has been written.
            return AfterTransfer(
                ports.progress, read ? WriteBlockAndReport(ports, handles.Value().device, buffer, 0,
                                                           kSlotStride, position, Reporting::Shown)
                                     : read);
        });
        result = AfterFlush(result, FlushDevHandle(ports, handles.Value().device), kSlotCount - 1);
    }
    if (result.Complete()) {
        result = AfterFlush(result, WriteFirstSector(ports, handles.Value().device, fileFirst),
                            kSlotCount - 1);
    }
    result = AfterFlush(result, CloseStore(ports, handles.Value(), CloseOrder::VolumeFirst),
                        kSlotCount - 1);
    // Every slot again, after the last write, so that writes wrapped onto
    // earlier slots show.
    if (result.Complete() && readBack == ReadBack::On) {
        result =
            ReadBackSlots(ports, store.path, 0, kSlotCount - 1,
                          [&](int slot) -> Result<std::span<const std::byte>> {
                              const Status read = ReadBlockAndReport(
                                  ports, file, buffer, 0, kSlotStride,
                                  static_cast<std::int64_t>(SlotOffset(slot)), Reporting::Shown);
                              if (!read) {
                                  return Failure{read.Error()};
                              }
                              return std::span<const std::byte>(buffer);
                          });
    }
    if (result.Complete()) {
        ports.progress.Finished();
    } else {
        ports.progress.Failed();
    }
    return result;
}

}  // namespace quarnex
