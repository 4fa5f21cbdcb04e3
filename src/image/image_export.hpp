#pragma once
// Writing the internal image to an image file or, block by block, to the
// floppy disk in the raw drive A: or B:.

#include <cstddef>
#include <span>
#include <string>

#include "image/image_caption.hpp"
#include "image/image_result.hpp"
#include "state/operation_ports.hpp"
#include "store/slot_table.hpp"

namespace quarnex {

// Writes all 160 blocks of image to the requested file (an existing one is
// replaced) or floppy drive; a request naming neither starts nothing, nor
// does a file overlapping the store at storePath (none when empty). Complete
// only once the data is on the medium; an image whose source (record) was a
// drive then has the file as its source. Every failure has been shown to the
// user.
ImageResult ExportFloppyImage(OperationPorts& ports, const ImageTransferRequest& request,
                              std::span<const std::byte> image, ImageRecord& record,
                              const std::string& storePath, ImageCaption& caption);

}  // namespace quarnex
