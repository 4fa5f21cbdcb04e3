#pragma once
// The line an image export that stopped part way leaves on stderr.

#include <string>

#include "cli/cli_world.hpp"
#include "commands/activity_text.hpp"
#include "core/text.hpp"
#include "image/image_result.hpp"

namespace quarnex::cli {

// Only an export whose blocks had begun to move has left a partial target;
// one that never started says nothing more than its own messages did.
inline void NoteImageStopped(CliWorld& world, const ImageResult& result, const std::string& what) {
    if (result.outcome == Outcome::Incomplete) {
        world.Console().Note(what + " (stopped at: " + TrimSpaces(ActivityText(result.action)) +
                             ")");
    }
}

}  // namespace quarnex::cli
