#pragma once
// Fresh content for the internal image without reading a disk: all zeros, or
// an empty FAT12 volume made from the template file with a chosen ID.

#include <cstddef>
#include <span>
#include <string>

#include "image/image_caption.hpp"
#include "state/operation_ports.hpp"
#include "state/outcome.hpp"
#include "store/slot_table.hpp"

namespace quarnex {

// Template of a blank 1.44 MB FAT12 volume, relative to appFolder.
inline constexpr const char* kFat12TemplatePath = "QuarnCfg/FAT12.144";

// Fills image with zero bytes; the image then has no source and no
// description (record). Cannot fail.
void ZeroInternalImage(OperationPorts& ports, std::span<std::byte> image, ImageRecord& record);

// Reads the template file into image and writes the ID (first 11
// characters, padded with spaces) into the boot sector's label field and the
// first root directory entry, and a serial number of the moment into the boot
// sector; once started the image has no source and no description (record).
// NotStarted when the template is missing (the caption then marks the image
// unreliable) or cannot be opened, Incomplete when it could not be read;
// failures have been shown.
Outcome FormatInternalImage(OperationPorts& ports, std::span<std::byte> image, ImageRecord& record,
                            const std::string& templatePath, const std::string& id,
                            ImageCaption& caption);

}  // namespace quarnex
