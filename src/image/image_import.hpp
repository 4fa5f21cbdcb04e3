#pragma once
// Filling the internal image from an image file or, block by block, from the
// raw floppy drive A: or B:.

#include <cstddef>
#include <span>

#include "image/image_caption.hpp"
#include "image/image_result.hpp"
#include "state/operation_ports.hpp"
#include "store/slot_table.hpp"

namespace quarnex {

// Reads all 160 blocks into image from the requested floppy drive or image
// file (which must hold exactly 1,474,560 bytes); a request naming neither
// starts nothing. Once started the image has no description (record); a
// complete read records its source: the file, or the drive with the label
// read ("A: [LABEL]"). Every failure has been shown to the user.
ImageResult ImportFloppyImage(OperationPorts& ports, const ImageTransferRequest& request,
                              std::span<std::byte> image, ImageRecord& record,
                              ImageCaption& caption);

}  // namespace quarnex
