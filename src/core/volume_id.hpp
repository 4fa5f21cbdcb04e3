#pragma once
// Volume IDs as the user types them (UTF-8 text) and as a FAT12 volume
// stores them (11 bytes of 8-bit text).

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/media_sizes.hpp"

namespace quarnex {

// The first n characters of a UTF-8 text; a character is never cut in two
// (a byte that starts no valid character counts as one).
std::string FirstCharacters(std::string_view text, std::size_t n);

// The ID as formatting uses it: its first 11 characters, padded with spaces
// to 11 characters.
std::string VolumeIdText(std::string_view id);

// The 8-bit form of such an ID, one byte per character: ASCII as it is,
// U+0080..U+00FF as that byte (Latin-1), anything else as "?".
std::array<std::byte, kLabelBytes> VolumeIdBytes(std::string_view idText);

}  // namespace quarnex
