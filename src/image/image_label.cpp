#include "image/image_label.hpp"

#include "core/media_sizes.hpp"

namespace quarnex {

std::string ShownImageLabel(std::span<const std::byte> image) {
    if (image.size() < kLabelOffset + kLabelBytes) {
        return kNoLabelText;
    }
    std::string label;
    for (std::size_t i = 0; i < kLabelBytes; ++i) {
        const auto byte = static_cast<unsigned char>(image[kLabelOffset + i]);
        if (byte < 0x20 || byte > 0x7F) {
            return kNoLabelText;
        }
        label += static_cast<char>(byte);
    }
    if (label == std::string(kLabelBytes, ' ')) {
        return kNoLabelText;
    }
    return label;
}

}  // namespace quarnex
