#pragma once
// Writing the internal image to an image file or, block by block, to the
// floppy disk in the raw drive A: or B:.

#include "image/image_result.hpp"
#include "state/context.hpp"

namespace quarnex {

// Writes all 160 blocks to the requested file (an existing one is replaced)
// or floppy drive. Complete only once the data is on the medium; every
// failure has been shown to the user, a cancelled dialog silently.
ImageResult ExportFloppyImage(Context& ctx, const ImageTransferRequest& request);

}  // namespace quarnex
