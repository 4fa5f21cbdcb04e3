#pragma once
// Filling the internal image from an image file or, block by block, from the
// raw floppy drive A: or B:.

#include "image/image_result.hpp"
#include "state/context.hpp"

namespace quarnex {

// Reads all 160 blocks from the requested floppy drive or image file (which
// must hold exactly 1,474,560 bytes). Incomplete leaves the image marked
// unreliable; every failure has been shown to the user, a cancelled dialog
// silently.
ImageResult ImportFloppyImage(Context& ctx, const ImageTransferRequest& request);

}  // namespace quarnex
