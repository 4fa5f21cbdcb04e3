#pragma once
// Code page 850, the OEM code page that short names are written in by
// default (mtools, DOS and Windows in Western Europe): bytes of a short name
// to Unicode and back, and the case rules short names use for its letters.

#include <cstdint>
#include <optional>

namespace quarnex::fat12 {

// The character a short-name byte stands for.
char32_t FromCodePage850(std::uint8_t byte);
// The byte for a character, when code page 850 holds it.
std::optional<std::uint8_t> ToCodePage850(char32_t character);

// Upper and lower case of the Latin-1 letters (ASCII included); other
// characters stay as they are.
char32_t UpperLatin(char32_t character);
char32_t LowerLatin(char32_t character);

}  // namespace quarnex::fat12
