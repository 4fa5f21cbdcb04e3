#include "image/image_target.hpp"

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "state/progress.hpp"
#include "state/status.hpp"

namespace quarnex {

namespace {
constexpr int kAttemptsPerPrompt = 3;
constexpr double kOpenPauseSeconds = 1;
constexpr double kMediumPauseSeconds = 5;
constexpr double kSecondsPerBlock = 0.75;
constexpr std::size_t kFirstTimedTrack = 5;
constexpr long kLastTrack = static_cast<long>(kTracksPerImage) - 1;

std::string InsertDiskText(const ImageTarget& drive) {
    return "Insert a 1.44 MB Floppy Disk Into Drive " + drive.DriveName();
}

// Retry/Cancel prompt, no icon; true for Retry.
bool AskForDisk(Context& ctx, const ImageTarget& drive, const std::string& title) {
    const MessageAnswer answer = ctx.ui.ShowMessage(
        MessageRequest{title, InsertDiskText(drive), MessageButtons::RetryCancel});
    return answer == MessageAnswer::Retry;
}
}  // namespace

ImageTarget DriveTarget(Context& ctx, FloppyDrive drive) {
    ImageTarget target;
    target.drive = drive;
    target.systemPath = ctx.drives.FloppyPath(drive);
    return target;
}

ImageTarget FileTarget(const std::string& path) {
    ImageTarget target;
    target.systemPath = path;
    return target;
}

std::optional<ImageTarget> TargetOf(
    Context& ctx, const ImageTransferRequest& request,
    const std::function<std::optional<std::string>(Context&)>& askFile) {
    if (request.drive) {
        return DriveTarget(ctx, *request.drive);
    }
    const std::optional<std::string> file = request.file ? request.file : askFile(ctx);
    if (!file) {
        return std::nullopt;
    }
    return FileTarget(*file);
}

DevHandle OpenFloppyDrive(Context& ctx, const ImageTarget& drive, Access access,
                          const std::string& promptTitle) {
    for (;;) {
        for (int attempt = 0; attempt < kAttemptsPerPrompt; ++attempt) {
            DevHandle handle = GetHandle(ctx, drive.systemPath, access, Disposition::OpenExisting,
                                         Reporting::Quiet);
            if (handle.Valid()) {
                return handle;
            }
            WaitSeconds(ctx.clock, kOpenPauseSeconds);
        }
        if (!AskForDisk(ctx, drive, promptTitle)) {
            return DevHandle();
        }
    }
}

bool WaitForFloppyMedium(Context& ctx, DevHandle& handle, const ImageTarget& drive,
                         const std::string& promptTitle) {
    for (;;) {
        for (int check = 0; check < kAttemptsPerPrompt; ++check) {
            if (IsFloppyGeometry(handle)) {
                return true;
            }
            WaitSeconds(ctx.clock, kMediumPauseSeconds);
        }
        if (!AskForDisk(ctx, drive, promptTitle)) {
            return false;
        }
    }
}

bool TransferTooSlow(Clock& clock, double start, std::size_t track) {
    if (track < kFirstTimedTrack) {
        return false;
    }
    return ElapsedSince(clock, start) > static_cast<double>(track + 1) * kSecondsPerBlock;
}

ImageResult TransferTracks(Context& ctx, const ImageTarget& target, std::string_view verb,
                           const std::function<bool(std::size_t track)>& transferBlock) {
    ImageResult result;
    for (std::size_t track = 0; track < kTracksPerImage; ++track) {
        if (target.IsDrive()) {
            SetBufferCaption(ctx, std::string(verb) + " Track " + std::to_string(track));
        }
        const bool ok = transferBlock(track);
        if (!ok || ctx.progress.CancelAsked()) {
            result.outcome = Outcome::Incomplete;
            result.stoppedAtTrack = track;
            result.cancelled = ok;  // the block went through, so the cancel stopped it
            if (result.cancelled) {
                ctx.progress.Cancelled();
            }
            return result;
        }
        if (track + 1 < kTracksPerImage) {
            ctx.progress.UnitDone(static_cast<long>(track), kLastTrack);
        }
    }
    result.outcome = Outcome::Complete;
    return result;
}

void ShowAllTracksDone(Context& ctx) {
    ctx.progress.Finished();
}

std::string SlowTransferText(std::string_view readOrWrite, std::string_view importOrExport) {
    std::string text = "Excessive ";
    text += readOrWrite;
    text += " Time May Indicate";
    text += kCrLf;
    text += "Disk Is Not A Formatted 1.44MB Disk.";
    text += kCrLf;
    text += kCrLf;
    text += importOrExport;
    text += " Is Terminated.";
    return text;
}

}  // namespace quarnex
