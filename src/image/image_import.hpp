#pragma once
// Filling the internal image from an image file or, block by block, from the
// raw floppy drive A: or B:.

#include <string>

#include "state/context.hpp"

namespace quarnex {

// path: empty to ask the user for a file (the choice is stored back into
// it), "\\.\a:" or "\\.\b:" for a raw floppy drive, otherwise an image file
// of exactly 1,474,560 bytes. True when all 160 blocks were read; every
// failure has been shown to the user, a cancelled dialog silently.
bool fntImportFromFlpyImag(Context& ctx, std::string& path);

}  // namespace quarnex
