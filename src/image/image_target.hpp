#pragma once
// Where an image transfer reads or writes: an image file, or a floppy drive.
// The drive part (opening with the insert-disk prompts, the medium check and the time limit of slow
// media) is shared by the import and the export.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "image/image_caption.hpp"
#include "image/image_result.hpp"
#include "state/operation_ports.hpp"
#include "state/reported_io.hpp"

namespace quarnex {

// Filter of the image-file dialogs.
inline constexpr const char* kImageFileFilter = "Image Files (*.img)|*.img|All Files (*.*)|*.*";

struct ImageTarget {
    std::optional<FloppyDrive> drive;  // none for a file
    std::string systemPath;            // what is opened: the drive's device node or the file

    bool IsDrive() const { return drive.has_value(); }
    // "A:" or "B:"; empty for a file (titles that name a drive show it so).
    std::string DriveName() const { return drive ? DriveText(*drive) : std::string(); }
    // As the user named it: "A:" or the file.
    std::string Name() const { return IsDrive() ? DriveName() : systemPath; }
};

// A drive and its device, or the file itself.
ImageTarget DriveTarget(DriveCatalog& drives, FloppyDrive drive);
ImageTarget FileTarget(const std::string& path);
// The request's drive or file; none when it names neither.
std::optional<ImageTarget> TargetOf(DriveCatalog& drives, const ImageTransferRequest& request);

// Opens the drive quietly, three attempts a second apart; then asks the user
// to insert a disk (Retry/Cancel, the given title) until an attempt succeeds
// or the user cancels, which gives an invalid handle.
DevHandle OpenFloppyDrive(OperationPorts& ports, const ImageTarget& drive, Access access,
                          const std::string& promptTitle);

// Checks for a 1.44 MB medium, three times five seconds apart; then asks the
// user as above. False when the user cancelled.
bool WaitForFloppyMedium(OperationPorts& ports, DevHandle& handle, const ImageTarget& drive,
                         const std::string& promptTitle);

// The time rule of floppy transfers: an average of 0.75 seconds per block
// from the start, checked from the sixth block (index 5) on, midnight-safe.
bool TransferTooSlow(Clock& clock, double start, std::size_t track);

// The block loop both directions share: a drive shows verb + " Track " + n
// on the caption while its block moves; transferBlock moves one block under its own rules
// and says whether it went through. Stops at the first failure or a cancel,
// Incomplete at that block; progress follows every block that went through
// but the last, which the caller shows with ShowAllTracksDone once the
// transfer is truly complete (an export only after its flush).
ImageResult TransferTracks(OperationPorts& ports, const ImageTarget& target, std::string_view verb,
                           ImageCaption& caption,
                           const std::function<bool(std::size_t track)>& transferBlock);

// Progress at its end: "Finished".
void ShowAllTracksDone(Progress& progress);

// "Excessive Read Time May Indicate..." with the given words.
std::string SlowTransferText(std::string_view readOrWrite, std::string_view importOrExport);

}  // namespace quarnex
