#pragma once
// What an image import or export is asked to move, and how it ended: the
// caller decides from this alone what to tell the user and what to do next.

#include <cstddef>
#include <optional>
#include <string>
#include <utility>

#include "ports/progress.hpp"
#include "state/outcome.hpp"

namespace quarnex {

struct ImageTransferRequest {
    // The image file, or "\\.\a:" / "\\.\b:" for a raw floppy drive; none
    // lets the user choose a file in the operation's dialog.
    std::optional<std::string> path;
};

struct ImageResult {
    // NotStarted: the dialog was cancelled, the file was refused or the
    // target could not be opened; the image and the target are as before.
    Outcome outcome = Outcome::NotStarted;
    // The file or drive asked for or chosen; empty after a cancelled dialog.
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
