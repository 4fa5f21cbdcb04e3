#pragma once
// Fresh content for the internal image without reading a disk: all zeros, or
// an empty FAT12 volume made from the template file with a chosen ID.

#include <string>

#include "state/context.hpp"
#include "state/outcome.hpp"

namespace quarnex {

// Template of a blank 1.44 MB FAT12 volume, relative to appFolder.
inline constexpr const char* kFat12TemplatePath = "QuarnCfg/FAT12.144";

// Fills the internal image with zero bytes. Cannot fail.
void ZeroInternalImage(Context& ctx);

// Reads the template into the internal image and writes the ID (first 11
// characters, padded with spaces) into the boot sector's label field and the
// first root directory entry, and a serial number of the moment into the boot
// sector. NotStarted when the template is missing or
// cannot be opened, Incomplete when it could not be read; failures have been
// shown.
Outcome FormatInternalImage(Context& ctx, const std::string& id);

}  // namespace quarnex
