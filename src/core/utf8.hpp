#pragma once
// Decoding one UTF-8 character. Header only: the FAT12 library uses it for
// labels without linking the rest of the core.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quarnex {

struct Utf8Character {
    std::size_t length = 1;     // bytes it takes in the text
    std::uint32_t point = '?';  // its code point; '?' when not valid UTF-8
};

// The character at the start of text (which must not be empty). A byte that
// starts no valid sequence counts as one character of its own.
inline Utf8Character NextCharacter(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) {
        return Utf8Character{1, lead};
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
        return Utf8Character{};
    }
    if (text.size() < length) {
        return Utf8Character{};
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) {
            return Utf8Character{};
        }
        point = (point << 6) | (next & 0x3F);
    }
    return Utf8Character{length, point};
}

}  // namespace quarnex
