#include "core/text_encoding.hpp"

#include <array>
#include <cstdint>

#include "core/utf8.hpp"

namespace quarnex {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 bytes 0x80..0x9F. The five bytes it leaves undefined keep the
// C1 control of the same value, as Windows itself maps them, so that every
// byte comes back unchanged.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::uint8_t Byte(std::string_view text, std::size_t at) {
    return static_cast<std::uint8_t>(text[at]);
}

char Windows1252Byte(char32_t point) {
    if (point < 0x80 || (point >= 0xA0 && point <= 0xFF)) {
        return static_cast<char>(point);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == point) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

DecodedText DecodeUtf16(std::string_view bytes, TextEncoding encoding) {
    DecodedText decoded{encoding, {}, 0};
    const bool little = encoding == TextEncoding::Utf16Le;
    const auto unit = [&](std::size_t at) {
        const auto first = static_cast<char16_t>(Byte(bytes, at));
        const auto second = static_cast<char16_t>(Byte(bytes, at + 1));
        return static_cast<char16_t>(little ? first | (second << 8) : (first << 8) | second);
    };
    std::size_t at = 2;
    for (; at + 1 < bytes.size(); at += 2) {
        const char16_t high = unit(at);
        if (high < 0xD800 || high > 0xDFFF) {
            AppendUtf8(decoded.text, high);
            continue;
        }
        const char16_t low = at + 3 < bytes.size() ? unit(at + 2) : char16_t{0};
        if (high <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF) {
            AppendUtf8(decoded.text, 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00));
            at += 2;
        } else {
            AppendUtf8(decoded.text, kReplacement);
            ++decoded.invalid;
        }
    }
    if (at < bytes.size()) {  // an odd byte at the end
        AppendUtf8(decoded.text, kReplacement);
        ++decoded.invalid;
    }
    return decoded;
}

void AppendUtf16(std::string& out, char16_t unit, bool little) {
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    out += little ? low : high;
    out += little ? high : low;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t point) {
    const auto put = [&out](char32_t bits) { out += static_cast<char>(bits); };
    if (point < 0x80) {
        put(point);
    } else if (point < 0x800) {
        put(0xC0 | (point >> 6));
        put(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        put(0xE0 | (point >> 12));
        put(0x80 | ((point >> 6) & 0x3F));
        put(0x80 | (point & 0x3F));
    } else {
        put(0xF0 | (point >> 18));
        put(0x80 | ((point >> 12) & 0x3F));
        put(0x80 | ((point >> 6) & 0x3F));
        put(0x80 | (point & 0x3F));
    }
}

DecodedText DecodeText(std::string_view bytes) {
    if (StartsWith(bytes, "\xFF\xFE")) {
        return DecodeUtf16(bytes, TextEncoding::Utf16Le);
    }
    if (StartsWith(bytes, "\xFE\xFF")) {
        return DecodeUtf16(bytes, TextEncoding::Utf16Be);
    }
    const bool bom = StartsWith(bytes, "\xEF\xBB\xBF");
    DecodedText utf8{bom ? TextEncoding::Utf8Bom : TextEncoding::Utf8, {}, 0};
    bool multiByte = false;
    for (std::size_t at = bom ? 3 : 0; at < bytes.size();) {
        const CodePoint next = NextCodePoint(bytes.substr(at));
        multiByte = multiByte || next.length > 1;
        utf8.invalid += next.valid ? 0 : 1;
        AppendUtf8(utf8.text, next.point);
        at += next.length;
    }
    if (bom || (multiByte && utf8.invalid == 0)) {
        return utf8;
    }
    DecodedText ansi;
    for (const char c : bytes) {
        const std::uint8_t byte = static_cast<std::uint8_t>(c);
        AppendUtf8(ansi.text, byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte);
    }
    return ansi;
}

std::string EncodeText(std::string_view utf8, TextEncoding encoding) {
    std::string out;
    if (encoding == TextEncoding::Utf8Bom) {
        out = "\xEF\xBB\xBF";
    } else if (encoding == TextEncoding::Utf16Le) {
        out = "\xFF\xFE";
    } else if (encoding == TextEncoding::Utf16Be) {
        out = "\xFE\xFF";
    }
    const bool little = encoding == TextEncoding::Utf16Le;
    for (std::size_t at = 0; at < utf8.size();) {
        const CodePoint next = NextCodePoint(utf8.substr(at));
        at += next.length;
        switch (encoding) {
            case TextEncoding::Windows1252:
                out += next.valid ? Windows1252Byte(next.point) : '?';
                break;
            case TextEncoding::Utf8:
            case TextEncoding::Utf8Bom:
                AppendUtf8(out, next.valid ? next.point : U'?');
                break;
            case TextEncoding::Utf16Le:
            case TextEncoding::Utf16Be:
                if (next.point >= 0x10000) {
                    const char32_t rest = next.point - 0x10000;
                    AppendUtf16(out, static_cast<char16_t>(0xD800 + (rest >> 10)), little);
                    AppendUtf16(out, static_cast<char16_t>(0xDC00 + (rest & 0x3FF)), little);
                } else {
                    AppendUtf16(out, static_cast<char16_t>(next.valid ? next.point : U'?'), little);
                }
                break;
        }
    }
    return out;
}

std::string CharactersEncodingLacks(std::string_view utf8, TextEncoding encoding) {
    std::string lacking;
    for (std::size_t at = 0; at < utf8.size();) {
        const CodePoint next = NextCodePoint(utf8.substr(at));
        const std::string_view character = utf8.substr(at, next.length);
        at += next.length;
        const bool held = next.valid && (encoding != TextEncoding::Windows1252 ||
                                         next.point == U'?' || Windows1252Byte(next.point) != '?');
        if (!held && lacking.find(character) == std::string::npos) {
            lacking += character;
        }
    }
    return lacking;
}

std::string EncodingName(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Windows1252:
            return "Windows-1252";
        case TextEncoding::Utf8:
            return "UTF-8";
        case TextEncoding::Utf8Bom:
            return "UTF-8 with a byte-order mark";
        case TextEncoding::Utf16Le:
            return "UTF-16LE";
        case TextEncoding::Utf16Be:
            return "UTF-16BE";
    }
    return "an unknown encoding";
}

}  // namespace quarnex
