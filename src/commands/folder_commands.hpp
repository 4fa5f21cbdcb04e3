#pragma once
// File, Export Slots To Folder... and Import Folder...: the selected store's
// slots to a folder of numbered image files and back, as the terminal's
// export and import do it. The window picks the folder first.

#include <string>

#include "commands/window_context.hpp"
#include "state/outcome.hpp"

namespace quarnex {

// Every used slot into folder (made when missing) as NNN.img, with their
// descriptions beside them. A file already numbered for one of them is
// refused (a message names it) before anything is written; the window never
// replaces files.
OperationResult ExportSlotsToFolder(WindowContext& ctx, const std::string& folder);

// The folder's image files into the slots their names give, the others into
// free slots, with the descriptions of its descriptions file; asks once
// before used slots are replaced, and reloads the store afterwards.
OperationResult ImportFolder(WindowContext& ctx, const std::string& folder);

}  // namespace quarnex
