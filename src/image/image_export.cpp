#include "image/image_export.hpp"

#include <optional>
#include <span>
#include <utility>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "image/image_target.hpp"
#include "state/output_guard.hpp"
#include "state/progress.hpp"
#include "state/reported_io.hpp"
#include "state/status.hpp"

namespace quarnex {

namespace {

std::optional<std::string> AskExportFile(Context& ctx) {
    return ctx.ui.AskSaveFile(FileDialogRequest{"Export Floppy Image", "", "img", kImageFileFilter,
                                                1, ChosenFile::AnyName, ReplacePrompt::Ask});
}

DevHandle OpenTarget(Context& ctx, const ImageTarget& target) {
    if (!target.IsDrive()) {
        // Replacing the file keeps an older, longer file's tail from
        // surviving behind the image (such a file would be refused later).
        return GetHandle(ctx, target.systemPath, Access::ReadWrite, Disposition::Replace,
                         Reporting::Shown);
    }
    DevHandle handle = OpenFloppyDrive(ctx, target, Access::ReadWrite,
                                       "(X1) Exporting Image From Drive " + target.DriveName());
    if (handle.Valid() &&
        !WaitForFloppyMedium(ctx, handle, target,
                             "(X2) Exporting Image To Drive " + target.DriveName())) {
        CloseDevHandle(ctx, handle);
    }
    return handle;
}

// Writes the 160 blocks straight from the internal image; Incomplete after a
// failed write, a slow medium or a cancel. Nothing is retried.
ImageResult WriteTracks(Context& ctx, DevHandle& handle, const ImageTarget& target) {
    std::span<const std::byte> image = std::as_const(ctx.state.imageBuffer).Span();
    const double start = ctx.clock.SecondsSinceMidnight();
    return TransferTracks(ctx, target, "Writing", [&](std::size_t track) {
        const bool written = WriteBlockAndReport(ctx, handle, image, track * kTrackBytes,
                                                 kTrackBytes, kCurrentPosition, Reporting::Shown);
        // Timed whatever the write gave, so a failed block on a slow disk
        // tells both.
        if (TransferTooSlow(ctx.clock, start, track)) {
            ctx.ui.ShowMessage(MessageRequest{"Exporting Image To Drive " + target.DriveName(),
                                              SlowTransferText("Write", "Export")});
            return false;
        }
        return written;
    });
}

}  // namespace

ImageResult ExportFloppyImage(Context& ctx, const ImageTransferRequest& request) {
    BusyGuard busy(ctx.progress);
    const std::optional<ImageTarget> chosen = TargetOf(ctx, request, AskExportFile);
    if (!chosen) {
        return ImageResult{};
    }
    const ImageTarget& target = *chosen;
    // The image may have come from the selected store: a file that overlaps
    // it would overwrite the store's first slot.
    if (!target.IsDrive() && ctx.state.selectedDevice != 0 &&
        RefuseStoreOverlap(ctx, target.systemPath, ctx.state.SelectedEntry().path,
                           "Export Floppy Image")) {
        return NotStartedOn(target.Name());
    }
    if (!target.IsDrive() &&
        RefuseUnusableOutput(ctx, target.systemPath, kImageBytes, "Export Floppy Image")) {
        return NotStartedOn(target.Name());
    }
    DevHandle handle = OpenTarget(ctx, target);
    if (!handle.Valid()) {
        return NotStartedOn(target.Name());
    }

    busy.Enter();
    const Activity action =
        target.IsDrive() ? Activity{.kind = ActivityKind::ExportDrive, .device = target.DriveName()}
                         : Activity{.kind = ActivityKind::ExportFile, .path = target.systemPath};
    ctx.progress.Doing(action);
    const std::string savedCaption = ctx.state.status.bufferCaption;
    ImageResult result = WriteTracks(ctx, handle, target);
    result.path = target.Name();
    result.action = action;
    // Complete, and shown as finished, only once the data is on the medium;
    // an unfinished file never takes the old one's place.
    const bool flushed = result.outcome == Outcome::Complete ? CommitDevHandle(ctx, handle)
                                                             : CloseDevHandle(ctx, handle);
    if (result.outcome == Outcome::Complete && !flushed) {
        result.outcome = Outcome::Incomplete;
        result.stoppedAtTrack = kTracksPerImage;
    }

    if (result.outcome == Outcome::Complete) {
        ShowAllTracksDone(ctx);
        std::string& source = ctx.state.slotTable.internalImage.source;
        if (!target.IsDrive() && (source == "A:" || source == "B:")) {
            source = target.systemPath;
        }
    }
    SetBufferCaption(ctx, savedCaption);
    return result;
}

}  // namespace quarnex
