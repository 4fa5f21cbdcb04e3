#include "image/image_import.hpp"

#include <optional>
#include <span>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "image/image_label.hpp"
#include "image/image_target.hpp"
#include "state/error_report.hpp"
#include "state/progress.hpp"
#include "state/reported_io.hpp"

namespace quarnex {

namespace {

constexpr const char* kTag = "QrnMfntImportFromFlpyImag.";
constexpr int kRetryAttempts = 4;
constexpr double kRetryPauseSeconds = 3;

void ShowWrongLength(Messages& messages, const std::string& path, std::uint64_t length) {
    std::string text = "Not a 1.44 MB Floppy Image File.";
    text += kCrLf;
    text += path;
    text += kCrLf;
    text += "File Length = " + FormatThousands(static_cast<std::int64_t>(length));
    messages.ShowMessage(MessageRequest{"Image File Length Invalid", std::move(text),
                                        MessageButtons::Ok, MessageIcon::Exclamation});
}

// A block that failed to read: up to four more attempts after a pause, each
// re-reading the first sector and then the block at its position. Only the
// last attempt reports its failure.
bool RetryTrack(OperationPorts& ports, DevHandle& handle, std::span<std::byte> image,
                std::size_t track) {
    const std::size_t offset = track * kTrackBytes;
    for (int retriesLeft = kRetryAttempts - 1; retriesLeft >= 0; --retriesLeft) {
        WaitSeconds(ports.clock, kRetryPauseSeconds);
        const Reporting reporting = retriesLeft != 0 ? Reporting::Quiet : Reporting::Shown;
        if (ReadBlockAndReport(ports, handle, image, 0, kSectorBytes, 0, reporting) &&
            ReadBlockAndReport(ports, handle, image, offset, kTrackBytes,
                               static_cast<std::int64_t>(offset), reporting)) {
            return true;
        }
    }
    return false;
}

// Reads the 160 blocks straight into the image; Incomplete after a failed
// block, a slow medium or a cancel.
ImageResult ReadTracks(OperationPorts& ports, DevHandle& handle, const ImageTarget& source,
                       std::span<std::byte> image, ImageCaption& caption) {
    const double start = ports.clock.SecondsSinceMidnight();
    return TransferTracks(ports, source, "Reading", caption, [&](std::size_t track) {
        if (!ReadBlockAndReport(ports, handle, image, track * kTrackBytes, kTrackBytes,
                                kCurrentPosition, Reporting::Quiet)) {
            return RetryTrack(ports, handle, image, track);
        }
        if (TransferTooSlow(ports.clock, start, track)) {
            ports.messages.ShowMessage(
                MessageRequest{"Importing Image From Drive " + source.DriveName(),
                               SlowTransferText("Read", "Import")});
            return false;
        }
        return true;
    });
}

// Opens the file after checking its length; an invalid handle after a
// message.
DevHandle OpenImageFile(OperationPorts& ports, const std::string& path, ImageCaption& caption) {
    const LengthResult length = ports.devices.FileLength(path);
    if (!length.length) {
        // The length query is the one failure here that no transfer
        // procedure reports; it ends in the operation's own handler.
        caption.Unreliable();
        ErrorReport(ports, CaughtBy(SystemCallError(length.error, "FileLen", "", path), kTag));
        return DevHandle();
    }
    if (*length.length != kImageBytes) {
        ShowWrongLength(ports.messages, path, *length.length);
        return DevHandle();
    }
    Result<DevHandle> file =
        GetHandle(ports, path, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    return file ? std::move(file).Value() : DevHandle();
}

DevHandle OpenDrive(OperationPorts& ports, const ImageTarget& drive) {
    DevHandle handle = OpenFloppyDrive(ports, drive, Access::Read,
                                       "(I1) Importing Image From Drive " + drive.DriveName());
    if (handle.Valid() &&
        !WaitForFloppyMedium(ports, handle, drive,
                             "(I2) Importing Image From Drive " + drive.DriveName())) {
        return DevHandle();
    }
    return handle;
}

}  // namespace

ImageResult ImportFloppyImage(OperationPorts& ports, const ImageTransferRequest& request,
                              std::span<std::byte> image, ImageRecord& record,
                              ImageCaption& caption) {
    ports.progress.Started();
    BusyGuard busy(ports.progress);
    const std::optional<ImageTarget> chosen = TargetOf(ports.drives, request);
    if (!chosen) {
        return ImageResult{};
    }
    const ImageTarget& source = *chosen;
    const std::string& path = source.systemPath;
    DevHandle handle =
        source.IsDrive() ? OpenDrive(ports, source) : OpenImageFile(ports, path, caption);
    if (!handle.Valid()) {
        return NotStartedOn(source.Name());
    }

    busy.Enter();
    const Activity action =
        source.IsDrive() ? Activity{.kind = ActivityKind::ImportDrive, .device = source.DriveName()}
                         : Activity{.kind = ActivityKind::ImportFile, .path = path};
    ports.progress.Doing(action);
    caption.Arriving();
    ImageResult result = ReadTracks(ports, handle, source, image, caption);
    result.path = source.Name();
    result.action = action;
    const bool complete = result.outcome == Outcome::Complete;
    if (complete) {
        ShowAllTracksDone(ports.progress);
    }
    const std::string bracketedLabel = "[" + ShownImageLabel(image) + "]";

    if (complete) {
        record.source = source.IsDrive() ? source.DriveName() + " " + bracketedLabel : path;
    }
    record.description.clear();
    return result;
}

}  // namespace quarnex
