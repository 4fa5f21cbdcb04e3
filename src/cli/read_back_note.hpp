#pragma once
// The line a writer whose read-back failed leaves on stderr.

#include <string>

#include "cli/cli_world.hpp"
#include "core/text.hpp"
#include "store/read_back.hpp"

namespace quarnex::cli {

// True (after the note) when everything was written but slot result.unit
// does not read back as written; the error report above names the byte.
inline bool NoteReadBackFailure(CliWorld& world, const OperationResult& result,
                                const std::string& storePath) {
    if (!StoppedByReadBack(result)) {
        return false;
    }
    world.Console().Note(storePath + " was written, but slot " + ThreeDigits(result.unit) +
                         " does not read back as written: the stick may lose or misplace "
                         "writes; do not trust it");
    return true;
}

}  // namespace quarnex::cli
