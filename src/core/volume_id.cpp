#include "core/volume_id.hpp"

#include <cstdint>

namespace quarnex {

namespace {

struct Character {
    std::size_t length = 1;     // bytes it takes in the text
    std::uint32_t point = '?';  // its code point; '?' when not valid UTF-8
};

// Decodes the character at the start of text (which must not be empty).
Character NextCharacter(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) {
        return Character{1, lead};
    }
    std::size_t length = 0;
    std::uint32_t point = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        point = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        point = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        point = lead & 0x07;
    } else {
        return Character{};
    }
    if (text.size() < length) {
        return Character{};
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) {
            return Character{};
        }
        point = (point << 6) | (next & 0x3F);
    }
    return Character{length, point};
}

}  // namespace

std::string FirstCharacters(std::string_view text, std::size_t n) {
    std::size_t end = 0;
    for (std::size_t count = 0; count < n && end < text.size(); ++count) {
        end += NextCharacter(text.substr(end)).length;
    }
    return std::string(text.substr(0, end));
}

std::string VolumeIdText(std::string_view id) {
    std::string text;
    std::size_t characters = 0;
    for (std::size_t at = 0; at < id.size() && characters < kLabelBytes; ++characters) {
        const std::size_t length = NextCharacter(id.substr(at)).length;
        text += id.substr(at, length);
        at += length;
    }
    text.append(kLabelBytes - characters, ' ');
    return text;
}

std::array<std::byte, kLabelBytes> VolumeIdBytes(std::string_view idText) {
    std::array<std::byte, kLabelBytes> bytes{};
    bytes.fill(std::byte{' '});
    std::size_t at = 0;
    for (std::byte& byte : bytes) {
        if (at >= idText.size()) {
            break;
        }
        const Character character = NextCharacter(idText.substr(at));
        at += character.length;
        byte =
            std::byte{static_cast<unsigned char>(character.point <= 0xFF ? character.point : '?')};
    }
    return bytes;
}

}  // namespace quarnex
