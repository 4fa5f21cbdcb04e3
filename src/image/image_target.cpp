#include "image/image_target.hpp"

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "state/progress.hpp"

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
bool AskForDisk(Messages& messages, const ImageTarget& drive, const std::string& title) {
    const MessageAnswer answer = messages.ShowMessage(
        MessageRequest{title, InsertDiskText(drive), MessageButtons::RetryCancel});
    return answer == MessageAnswer::Retry;
}
}  // namespace

ImageTarget DriveTarget(DriveCatalog& drives, FloppyDrive drive) {
    ImageTarget target;
    target.drive = drive;
    target.systemPath = drives.FloppyPath(drive);
    return target;
}

ImageTarget FileTarget(const std::string& path) {
    ImageTarget target;
    target.systemPath = path;
    return target;
}

std::optional<ImageTarget> TargetOf(DriveCatalog& drives, const ImageTransferRequest& request) {
    if (request.drive) {
        return DriveTarget(drives, *request.drive);
    }
    if (!request.file) {
        return std::nullopt;
    }
    return FileTarget(*request.file);
}

DevHandle OpenFloppyDrive(OperationPorts& ports, const ImageTarget& drive, Access access,
                          const std::string& promptTitle) {
    for (;;) {
        for (int attempt = 0; attempt < kAttemptsPerPrompt; ++attempt) {
            Result<DevHandle> handle = GetHandle(ports, drive.systemPath, access,
                                                 Disposition::OpenExisting, Reporting::Quiet);
            if (handle) {
                return std::move(handle).Value();
            }
            WaitSeconds(ports.clock, kOpenPauseSeconds);
        }
        if (!AskForDisk(ports.messages, drive, promptTitle)) {
            return DevHandle();
        }
    }
}

bool WaitForFloppyMedium(OperationPorts& ports, DevHandle& handle, const ImageTarget& drive,
                         const std::string& promptTitle) {
    for (;;) {
        for (int check = 0; check < kAttemptsPerPrompt; ++check) {
            if (IsFloppyGeometry(handle)) {
                return true;
            }
            WaitSeconds(ports.clock, kMediumPauseSeconds);
        }
        if (!AskForDisk(ports.messages, drive, promptTitle)) {
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

ImageResult TransferTracks(OperationPorts& ports, const ImageTarget& target, std::string_view verb,
                           ImageCaption& caption,
                           const std::function<bool(std::size_t track)>& transferBlock) {
    ImageResult result;
    for (std::size_t track = 0; track < kTracksPerImage; ++track) {
        if (target.IsDrive()) {
            caption.Show(std::string(verb) + " Track " + std::to_string(track));
        }
        const bool ok = transferBlock(track);
        if (!ok || ports.progress.CancelAsked()) {
            result.outcome = Outcome::Incomplete;
            result.stoppedAtTrack = track;
            result.cancelled = ok;  // the block went through, so the cancel stopped it
            if (result.cancelled) {
                ports.progress.Cancelled();
            }
            return result;
        }
        if (track + 1 < kTracksPerImage) {
            ports.progress.UnitDone(static_cast<long>(track), kLastTrack);
        }
    }
    result.outcome = Outcome::Complete;
    return result;
}

void ShowAllTracksDone(Progress& progress) {
    progress.Finished();
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
