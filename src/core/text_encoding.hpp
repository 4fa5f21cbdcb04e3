#pragma once
// Text files written by other programs: recognising their encoding, turning
// them into the program's UTF-8 and back into the encoding they came in.

#include <cstddef>
#include <string>
#include <string_view>

namespace quarnex {

enum class TextEncoding { Windows1252, Utf8, Utf8Bom, Utf16Le, Utf16Be };

struct DecodedText {
    TextEncoding encoding = TextEncoding::Windows1252;
    std::string text;         // UTF-8
    std::size_t invalid = 0;  // sequences the encoding does not allow, each now U+FFFD
};

// A byte-order mark names UTF-8 or UTF-16. Without one, bytes that hold at
// least one multi-byte character and are valid UTF-8 throughout are UTF-8;
// anything else is Windows-1252, which gives every byte a character.
DecodedText DecodeText(std::string_view bytes);

// UTF-8 text in the encoding, with its byte-order mark where it has one.
// Characters Windows-1252 cannot hold, and bytes that are not UTF-8, become "?".
std::string EncodeText(std::string_view utf8, TextEncoding encoding);

// The characters of UTF-8 text that EncodeText would write as "?" in the
// encoding (and bytes that are not UTF-8), each once, in the order they
// come; empty when the encoding holds them all.
std::string CharactersEncodingLacks(std::string_view utf8, TextEncoding encoding);

// The encoding's usual name ("Windows-1252", "UTF-8", ...).
std::string EncodingName(TextEncoding encoding);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t point);

}  // namespace quarnex
