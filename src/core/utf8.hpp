#pragma once
// Decoding one UTF-8 character. Header only: the FAT12 library uses it for
// names and labels without linking the rest of the core.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quarnex {

// The code point at the start of text and the bytes it takes; a byte that
// starts no valid, shortest-form sequence (overlong forms, surrogates and
// points past U+10FFFF included) is taken alone with point U+FFFD.
struct CodePoint {
    char32_t point = 0xFFFD;
    std::size_t length = 1;
    bool valid = false;
};

// text must not be empty.
inline CodePoint NextCodePoint(std::string_view text) {
    const auto lead = static_cast<std::uint8_t>(text[0]);
    if (lead < 0x80) {
        return CodePoint{lead, 1, true};
    }
    std::size_t length = 0;
    char32_t point = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        point = lead & 0x1F;
        least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        point = lead & 0x0F;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        point = lead & 0x07;
        least = 0x10000;
    } else {
        return CodePoint{};
    }
    if (text.size() < length) {
        return CodePoint{};
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<std::uint8_t>(text[i]);
        if ((next & 0xC0) != 0x80) {
            return CodePoint{};
        }
        point = (point << 6) | (next & 0x3F);
    }
    if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
        return CodePoint{};
    }
    return CodePoint{point, length, true};
}

}  // namespace quarnex
