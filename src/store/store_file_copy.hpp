#pragma once
// Whole-store image files: the selected USB store copied slot by slot into
// one file of 1,572,864,000 bytes, and such a file copied back onto it.

#include <string>

#include "state/context.hpp"
#include "state/outcome.hpp"

namespace quarnex {

// Copies the selected store into path (asked for with a save dialog when
// empty; path then holds the choice) and writes the descriptions file beside
// it. An existing file is replaced. True when all 1000 slots were copied and
// flushed.
bool fntCopyUSBToFile(Context& ctx, std::string& path);

// Copies a whole-store file (asked for with an open dialog when path is
// empty) onto the selected store. An incomplete copy (the store then holds
// the file's first slots and its own later ones) also shows
// "Progress       Failed".
Outcome fntCopyFileToUSB(Context& ctx, std::string& path);

}  // namespace quarnex
