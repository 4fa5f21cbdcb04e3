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
#include "state/status.hpp"

namespace quarnex {

namespace {

constexpr const char* kTag = "QrnMfntImportFromFlpyImag.";
constexpr int kRetryAttempts = 4;
constexpr double kRetryPauseSeconds = 3;

std::optional<std::string> AskImportFile(Context& ctx) {
    return ctx.ui.AskOpenFile(FileDialogRequest{"Import Floppy Image", "", "img", kImageFileFilter,
                                                1, ChosenFile::Existing});
}

void ShowWrongLength(Context& ctx, const std::string& path, std::uint64_t length) {
    std::string text = "Not a 1.44 MB Floppy Image File.";
    text += kCrLf;
    text += path;
    text += kCrLf;
    text += "File Length = " + FormatThousands(static_cast<std::int64_t>(length));
    ctx.ui.ShowMessage(MessageRequest{"Image File Length Invalid", std::move(text),
                                      MessageButtons::Ok, MessageIcon::Exclamation});
}

// A block that failed to read: up to four more attempts after a pause, each
// re-reading the first sector and then the block at its position. Only the
// last attempt reports its failure.
bool RetryTrack(Context& ctx, DevHandle& handle, std::size_t track) {
    std::span<std::byte> image = ctx.state.imageBuffer.Span();
    const std::size_t offset = track * kTrackBytes;
    for (int retriesLeft = kRetryAttempts - 1; retriesLeft >= 0; --retriesLeft) {
        WaitSeconds(ctx.clock, kRetryPauseSeconds);
        const Reporting reporting = retriesLeft != 0 ? Reporting::Quiet : Reporting::Shown;
        if (ReadBlockAndReport(ctx, handle, image, 0, kSectorBytes, 0, reporting) &&
            ReadBlockAndReport(ctx, handle, image, offset, kTrackBytes,
                               static_cast<std::int64_t>(offset), reporting)) {
            return true;
        }
    }
    return false;
}

// Reads the 160 blocks straight into the internal image; Incomplete after a
// failed block, a slow medium or a cancel.
ImageResult ReadTracks(Context& ctx, DevHandle& handle, const ImageTarget& source) {
    std::span<std::byte> image = ctx.state.imageBuffer.Span();
    const double start = ctx.clock.SecondsSinceMidnight();
    return TransferTracks(ctx, source, "Reading", [&](std::size_t track) {
        if (!ReadBlockAndReport(ctx, handle, image, track * kTrackBytes, kTrackBytes,
                                kCurrentPosition, Reporting::Quiet)) {
            return RetryTrack(ctx, handle, track);
        }
        if (TransferTooSlow(ctx.clock, start, track)) {
            ctx.ui.ShowMessage(MessageRequest{"Importing Image From Drive " + source.DriveName(),
                                              SlowTransferText("Read", "Import")});
            return false;
        }
        return true;
    });
}

// The new image's source, shown and recorded after a complete read.
void RecordSource(Context& ctx, const ImageTarget& source, const std::string& path,
                  const std::string& bracketedLabel) {
    ProgramState& state = ctx.state;
    if (source.IsDrive()) {
        state.slotTable.internalImage.source = source.DriveName() + " " + bracketedLabel;
        SetBufferLabel(ctx, state.slotTable.internalImage.source, false);
        if (source.drive == FloppyDrive::A) {
            state.imageSource = SourceFloppyA;
        } else if (source.drive == FloppyDrive::B) {
            state.imageSource = SourceFloppyB;
        }
    } else {
        SetBufferLabel(ctx, ShortenPath(path), false, path);
        state.imageSource = SourceImageFile;
        state.slotTable.internalImage.source = path;
    }
}

// Opens the file after checking its length; an invalid handle after a
// message.
DevHandle OpenImageFile(Context& ctx, const std::string& path) {
    const LengthResult length = ctx.devices.FileLength(path);
    if (!length.length) {
        // The length query is the one failure here that no transfer
        // procedure reports; it ends in the operation's own handler.
        SetBufferLabel(ctx, kUnreliableImageCaption, true);
        ErrorReport(ctx, CaughtBy(SystemCallError(length.error, "FileLen", "", path), kTag));
        return DevHandle();
    }
    if (*length.length != kImageBytes) {
        ShowWrongLength(ctx, path, *length.length);
        return DevHandle();
    }
    return GetHandle(ctx, path, Access::Read, Disposition::OpenExisting, Reporting::Shown);
}

DevHandle OpenDrive(Context& ctx, const ImageTarget& drive) {
    DevHandle handle = OpenFloppyDrive(ctx, drive, Access::Read,
                                       "(I1) Importing Image From Drive " + drive.DriveName());
    if (handle.Valid() &&
        !WaitForFloppyMedium(ctx, handle, drive,
                             "(I2) Importing Image From Drive " + drive.DriveName())) {
        CloseDevHandle(ctx, handle);
    }
    return handle;
}

}  // namespace

ImageResult ImportFloppyImage(Context& ctx, const ImageTransferRequest& request) {
    ctx.progress.Started();
    BusyGuard busy(ctx.progress);
    const std::optional<ImageTarget> chosen = TargetOf(ctx, request, AskImportFile);
    if (!chosen) {
        return ImageResult{};
    }
    const ImageTarget& source = *chosen;
    const std::string& path = source.systemPath;
    DevHandle handle = source.IsDrive() ? OpenDrive(ctx, source) : OpenImageFile(ctx, path);
    if (!handle.Valid()) {
        return NotStartedOn(source.Name());
    }

    busy.Enter();
    const Activity action =
        source.IsDrive() ? Activity{.kind = ActivityKind::ImportDrive, .device = source.DriveName()}
                         : Activity{.kind = ActivityKind::ImportFile, .path = path};
    ctx.progress.Doing(action);
    SetBufferLabel(ctx, "...", false);
    ImageResult result = ReadTracks(ctx, handle, source);
    result.path = source.Name();
    result.action = action;
    const bool complete = result.outcome == Outcome::Complete;
    if (complete) {
        ShowAllTracksDone(ctx);
    }
    const std::string bracketedLabel = "[" + ShownImageLabel(ctx.state.imageBuffer.Span()) + "]";
    CloseDevHandle(ctx, handle);

    if (complete) {
        RecordSource(ctx, source, path, bracketedLabel);
    } else {
        SetBufferLabel(ctx, kUnreliableImageCaption, true);
    }
    ctx.state.slotTable.internalImage.description.clear();
    return result;
}

}  // namespace quarnex
