#include "image/image_label.hpp"

#include "fat12/volume_label.hpp"

namespace quarnex {

std::string ShownImageLabel(std::span<const std::byte> image) {
    const std::string label = fat12::ReadVolumeLabel(image);
    if (label.empty() || label == std::string(fat12::kLabelBytes, ' ')) {
        return kNoLabelText;
    }
    return label;
}

}  // namespace quarnex
