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

constexpr const char* kImageFilter = "Image Files (*.img)|*.img|All Files (*.*)|*.*";

FileDialogRequest StoreFileDialog(const char* title, ChosenFile chosen, ReplacePrompt prompt) {
    return FileDialogRequest{title, "", "img", kImageFilter, 1, chosen, prompt};
}

// Asks for the file when none was given; false when the dialog was
// cancelled, which passes silently.
bool ChooseFile(Context& ctx, std::string& path, bool forSaving) {
    if (!path.empty()) {
        return true;
    }
    const std::optional<std::string> chosen =
        forSaving ? ctx.ui.AskSaveFile(StoreFileDialog("Export 1000 Floppy Image",
                                                       ChosenFile::AnyName, ReplacePrompt::Ask))
                  : ctx.ui.AskOpenFile(StoreFileDialog("Import 1000 Floppy Image",
                                                       ChosenFile::Existing, ReplacePrompt::None));
    if (!chosen || chosen->empty()) {
        return false;
    }
    path = *chosen;
    return true;
}

void ShowRefusal(Context& ctx, std::string title, std::string text) {
    ctx.ui.ShowMessage(MessageRequest{std::move(title), std::move(text), MessageButtons::Ok,
                                      MessageIcon::Exclamation});
}

const OperationResult kDialogCancelled =
    OperationResult::NotStarted(NotStartedReason::DialogCancelled);
const OperationResult kFailedToStart = OperationResult::NotStarted(NotStartedReason::Failure);
const OperationResult kRefused = OperationResult::NotStarted(NotStartedReason::Refused);

// Room a backup may need: a sparse store file holds no more than it
// occupies (its holes stay holes in the copy); anything else, all of it.
std::uint64_t BackupBytes(Context& ctx, const std::string& storePath) {
    const LengthResult length = ctx.devices.FileLength(storePath);
    if (length.length && ctx.devices.FileExists(storePath)) {
        return std::min<std::uint64_t>(length.allocated, kStoreBytes);
    }
    return kStoreBytes;
}

}  // namespace

BackupResult BackupStoreToFile(Context& ctx, std::string& path) {
    ctx.progress.Started();
    BusyGuard busy(ctx.progress);
    if (!ChooseFile(ctx, path, true)) {
        return {kDialogCancelled};
    }
    const DeviceEntry store = ctx.state.SelectedEntry();
    // Replacing the export target must never destroy the store being read,
    // and a backup that cannot be completed must not cost the previous one.
    const std::string title = "Export 1000 Floppy Image";
    if (RefuseStoreOverlap(ctx, path, store.path, title) ||
        RefuseUnusableOutput(ctx, path, BackupBytes(ctx, store.path), title) ||
        RefuseUnusableOutput(ctx, DescriptionsOutputName(path), 0, title)) {
        return {kRefused};
    }
    // The device first: a store that cannot be read leaves an existing file
    // as it was.
    DevHandle device =
        GetHandle(ctx, store.path, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    if (!device.Valid()) {
        return {kFailedToStart};
    }
    DevHandle file = GetHandle(ctx, path, Access::Write, Disposition::Replace, Reporting::Shown);
    if (!file.Valid()) {
        CloseDevHandle(ctx, device);
        return {kFailedToStart};
    }
    busy.Enter();

    const std::span<std::byte> buffer = ctx.state.transferBuffer.Span();
    BackupResult result;
    result.copy = RunUnits(ctx.progress, kSlotCount, [&](int n) {
        ctx.progress.Doing(Activity{.kind = ActivityKind::BackupSlot, .slot = n, .path = path});
        if (!ReadBlockAndReport(ctx, device, buffer, 0, kSlotStride, kCurrentPosition,
                                Reporting::Shown)) {
            return UnitStep::Failed;
        }
        // A cancel stops the copy before the slot just read is written.
        if (ctx.progress.CancelAsked()) {
            return UnitStep::Cancelled;
        }
        return WriteBlockAndReport(ctx, file, buffer, 0, kSlotStride, kCurrentPosition,
                                   Reporting::Shown)
                   ? UnitStep::Done
                   : UnitStep::Failed;
    });
    CloseDevHandle(ctx, device);
    // Only a complete copy takes the previous backup's place; anything less
    // is dropped with the old file untouched.
    if (result.copy.Complete()) {
        result.copy = AfterFlush(result.copy, CommitDevHandle(ctx, file), kSlotCount - 1);
    } else {
        file = DevHandle();
    }
    if (result.copy.Complete()) {
        ctx.progress.Finished();
        // The descriptions belong beside a complete backup only.
        result.descriptionsWritten = SaveDescriptionsCopy(ctx, ctx.state.slotTable, path);
    }
    return result;
}

OperationResult RestoreStoreFromFile(Context& ctx, std::string& path) {
    ctx.progress.Started();
    BusyGuard busy(ctx.progress);
    if (!ChooseFile(ctx, path, false)) {
        return kDialogCancelled;
    }
    // Reading a file that lies on the store while the store is rewritten
    // would copy back what was already overwritten.
    if (RefuseStoreOverlap(ctx, path, ctx.state.SelectedEntry().path, "Import 1000 Floppy Image")) {
        return kRefused;
    }
    const LengthResult length = ctx.devices.FileLength(path);
    if (!length.length) {
        ErrorReport(ctx, CaughtBy(SystemCallError(length.error, "FileLen", "", path),
                                  "QrnMfntCopyFileToUSB."));
        return kFailedToStart;
    }
    if (*length.length != kStoreBytes) {
        ShowRefusal(
            ctx, "Image File Length Invalid",
            "Not a 1000 Floppy Image File." + std::string(kCrLf) + path + std::string(kCrLf) +
                "File Length = " + FormatThousands(static_cast<std::int64_t>(*length.length)));
        return kRefused;
    }
    DevHandle file =
        GetHandle(ctx, path, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    if (!file.Valid()) {
        return kFailedToStart;
    }
    std::optional<StoreWriteHandles> handles = OpenStoreForWriting(ctx, ctx.state.SelectedEntry());
    if (!handles) {
        CloseDevHandle(ctx, file);
        return kFailedToStart;
    }
    busy.Enter();

    // The file's first sector, marked, reaches the medium before any slot
    // changes; the mark goes only when every slot is on the medium.
    std::array<std::byte, kSectorBytes> fileFirst{};
    std::array<std::byte, kSectorBytes> marked{};
    bool started = ReadBlockAndReport(ctx, file, fileFirst, 0, kSectorBytes, 0, Reporting::Shown);
    if (started) {
        marked = fileFirst;
        PutWriteMark(marked);
        started = WriteFirstSector(ctx, handles->device, marked);
    }
    const std::span<std::byte> buffer = ctx.state.transferBuffer.Span();
    OperationResult result = OperationResult::StoppedAt(0, StopCause::Failure);
    if (started) {
        result = RunUnits(ctx.progress, kSlotCount, [&](int n) {
            ctx.progress.Doing(
                Activity{.kind = ActivityKind::RestoreSlot, .slot = n, .path = path});
            // Slot 0 goes on with the mark; the first transfer starts over at
            // the beginning of both.
            const std::int64_t position = n == 0 ? 0 : kCurrentPosition;
            const bool read =
                ReadBlockAndReport(ctx, file, buffer, 0, kSlotStride, position, Reporting::Shown);
            if (n == 0) {
                std::copy(marked.begin(), marked.end(), buffer.begin());
            }
            // A cancel stops the copy after the current slot has been written.
            return AfterTransfer(
                ctx.progress, read && WriteBlockAndReport(ctx, handles->device, buffer, 0,
                                                          kSlotStride, position, Reporting::Shown));
        });
        result = AfterFlush(result, FlushDevHandle(ctx, handles->device), kSlotCount - 1);
    }
    if (result.Complete()) {
        result =
            AfterFlush(result, WriteFirstSector(ctx, handles->device, fileFirst), kSlotCount - 1);
    }
    CloseDevHandle(ctx, file);
    result = AfterFlush(result, CloseStore(ctx, *handles, CloseOrder::VolumeFirst), kSlotCount - 1);
    if (result.Complete()) {
        ctx.progress.Finished();
    } else {
        ctx.progress.Failed();
    }
    return result;
}

}  // namespace quarnex
