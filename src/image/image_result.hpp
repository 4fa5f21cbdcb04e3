#pragma once
// What an image import or export is asked to move, and how it ended: the
// caller decides from this alone what to tell the user and what to do next.

#include <cstddef>
#include <optional>
#include <string>
#include <utility>

#include "ports/drive_catalog.hpp"
#include "ports/progress.hpp"
#include "state/outcome.hpp"

namespace quarnex {

// A floppy drive or an image file; with neither the commands ask for the
// file, and the operation itself starts nothing.
struct ImageTransferRequest {
    std::optional<FloppyDrive> drive{};
    std::optional<std::string> file{};
};

struct ImageResult {
    // NotStarted: the dialog was cancelled (or no target named), the file
    // was refused or the target could not be opened; the image and the target are as before.
    Outcome outcome = Outcome::NotStarted;
    // The file or drive ("A:", "B:") asked for or chosen; empty after a
    // cancelled dialog.
    std::string path;
    // What was shown being done while the blocks moved; none until the
    // target was open.
    Activity action;
    // Incomplete only: the block that failed or after which the cancel was
    // seen; kTracksPerImage when every block moved but the data did not
    // reach the medium.
    std::size_t stoppedAtTrack = 0;
    bool cancelled = false;  // Incomplete because the user cancelled

    bool operator==(const ImageResult&) const = default;
};

// The target was named but nothing moved.
inline ImageResult NotStartedOn(std::string path) {
    ImageResult result;
    result.path = std::move(path);
    return result;
}

}  // namespace quarnex
