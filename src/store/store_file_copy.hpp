#pragma once
// Whole-store image files: the selected USB store copied slot by slot into
// one file of 1,572,864,000 bytes, and such a file copied back onto it.

#include <string>

#include "state/context.hpp"
#include "state/outcome.hpp"

namespace quarnex {

struct BackupResult {
    OperationResult copy;  // units are slots; complete once all 1000 were copied and flushed
    bool descriptionsWritten = false;  // the descriptions file beside the copy
};

// Copies the selected store into path (asked for with a save dialog when
// empty; path then holds the choice) and, once the copy has run, writes the
// descriptions file beside it, even after a failure. An existing file is
// replaced.
BackupResult BackupStoreToFile(Context& ctx, std::string& path);

// Copies a whole-store file (asked for with an open dialog when path is
// empty) onto the selected store. An incomplete copy (the store then holds
// the file's first slots and its own later ones) also shows
// "Progress       Failed".
OperationResult RestoreStoreFromFile(Context& ctx, std::string& path);

}  // namespace quarnex
