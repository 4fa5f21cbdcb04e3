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

namespace quarnex {

namespace {

DevHandle OpenTarget(OperationPorts& ports, const ImageTarget& target) {
    if (!target.IsDrive()) {
        // Replacing the file keeps an older, longer file's tail from
        // surviving behind the image (such a file would be refused later).
        Result<DevHandle> file = GetHandle(ports, target.systemPath, Access::ReadWrite,
                                           Disposition::Replace, Reporting::Shown);
        return file ? std::move(file).Value() : DevHandle();
    }
    DevHandle handle = OpenFloppyDrive(ports, target, Access::ReadWrite,
                                       "(X1) Exporting Image From Drive " + target.DriveName());
    if (handle.Valid() &&
        !WaitForFloppyMedium(ports, handle, target,
                             "(X2) Exporting Image To Drive " + target.DriveName())) {
        return DevHandle();
    }
    return handle;
}

// Writes the 160 blocks straight from the image; Incomplete after a failed
// write, a slow medium or a cancel. Nothing is retried.
ImageResult WriteTracks(OperationPorts& ports, DevHandle& handle, const ImageTarget& target,
                        std::span<const std::byte> image, ImageCaption& caption) {
    const double start = ports.clock.SecondsSinceMidnight();
    return TransferTracks(ports, target, "Writing", caption, [&](std::size_t track) {
        const bool written = WriteBlockAndReport(ports, handle, image, track * kTrackBytes,
                                                 kTrackBytes, kCurrentPosition, Reporting::Shown)
                                 .Ok();
        // Timed whatever the write gave, so a failed block on a slow disk
        // tells both.
        if (TransferTooSlow(ports.clock, start, track)) {
            ports.messages.ShowMessage(
                MessageRequest{"Exporting Image To Drive " + target.DriveName(),
                               SlowTransferText("Write", "Export")});
            return false;
        }
        return written;
    });
}

}  // namespace

ImageResult ExportFloppyImage(OperationPorts& ports, const ImageTransferRequest& request,
                              std::span<const std::byte> image, ImageRecord& record,
                              const std::string& storePath, ImageCaption& caption) {
    BusyGuard busy(ports.progress);
    const std::optional<ImageTarget> chosen = TargetOf(ports.drives, request);
    if (!chosen) {
        return ImageResult{};
    }
    const ImageTarget& target = *chosen;
    // The image may have come from the selected store: a file that overlaps
    // it would overwrite the store's first slot.
    if (!target.IsDrive() && !storePath.empty() &&
        RefuseStoreOverlap(ports, target.systemPath, storePath, "Export Floppy Image")) {
        return NotStartedOn(target.Name());
    }
    if (!target.IsDrive() &&
        RefuseUnusableOutput(ports, target.systemPath, kImageBytes, "Export Floppy Image")) {
        return NotStartedOn(target.Name());
    }
    DevHandle handle = OpenTarget(ports, target);
    if (!handle.Valid()) {
        return NotStartedOn(target.Name());
    }

    busy.Enter();
    const Activity action =
        target.IsDrive() ? Activity{.kind = ActivityKind::ExportDrive, .device = target.DriveName()}
                         : Activity{.kind = ActivityKind::ExportFile, .path = target.systemPath};
    ports.progress.Doing(action);
    ImageResult result = WriteTracks(ports, handle, target, image, caption);
    result.path = target.Name();
    result.action = action;
    // Complete, and shown as finished, only once the data is on the medium;
    // an unfinished file never takes the old one's place.
    const Status flushed = result.outcome == Outcome::Complete ? CommitDevHandle(ports, handle)
                                                               : CloseDevHandle(ports, handle);
    if (result.outcome == Outcome::Complete && !flushed) {
        result.outcome = Outcome::Incomplete;
        result.stoppedAtTrack = kTracksPerImage;
    }

    if (result.outcome == Outcome::Complete) {
        ShowAllTracksDone(ports.progress);
        if (!target.IsDrive() && (record.source == "A:" || record.source == "B:")) {
            record.source = target.systemPath;
        }
    }
    return result;
}

}  // namespace quarnex
