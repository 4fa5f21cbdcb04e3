#pragma once
// Writing the internal image to an image file or, block by block, to the
// floppy disk in the raw drive A: or B:.

#include <string>

#include "state/context.hpp"

namespace quarnex {

// path: empty to ask the user for a file name (the choice is stored back
// into it), "\\.\a:" or "\\.\b:" for a raw floppy drive, otherwise the image
// file to write; an existing file is replaced. True when all 160 blocks were
// written and are on the medium; every failure has been shown to the user, a
// cancelled dialog silently.
bool fntExportToFlpyImag(Context& ctx, std::string& path);

}  // namespace quarnex
