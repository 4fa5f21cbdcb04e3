#include "fat12/long_names.hpp"

#include "core/text_encoding.hpp"
#include "core/utf8.hpp"

namespace quarnex::fat12 {

namespace {

// Byte offsets of the 13 UTF-16 units in a long-name entry.
constexpr std::array<std::size_t, kUnitsPerEntry> kUnitOffsets = {1,  3,  5,  7,  9,  14, 16,
                                                                  18, 20, 22, 24, 28, 30};
constexpr std::size_t kAttributeOffset = 11;
constexpr std::size_t kChecksumOffset = 13;

char32_t Fold(char32_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ||
        (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) || (c >= 0x430 && c <= 0x44F)) {
        return c - 0x20;
    }
    if (c >= 0x450 && c <= 0x45F) {
        return c - 0x50;
    }
    return c;
}

std::u32string Points(std::string_view text) {
    std::u32string points;
    for (std::size_t at = 0; at < text.size();) {
        const CodePoint character = NextCodePoint(text.substr(at));
        // A byte that is not UTF-8 compares as "?", as names always have.
        points += Fold(character.valid ? character.point : U'?');
        at += character.length;
    }
    return points;
}

}  // namespace

std::uint8_t ShortNameChecksum(const std::array<std::byte, 11>& shortName) {
    std::uint8_t sum = 0;
    for (const std::byte b : shortName) {
        sum = static_cast<std::uint8_t>(((sum & 1) << 7) + (sum >> 1) + std::to_integer<int>(b));
    }
    return sum;
}

std::optional<std::u16string> Utf16FromUtf8(std::string_view text) {
    std::u16string units;
    for (std::size_t at = 0; at < text.size();) {
        const CodePoint character = NextCodePoint(text.substr(at));
        if (!character.valid) {
            return std::nullopt;
        }
        if (character.point >= 0x10000) {
            const char32_t v = character.point - 0x10000;
            units += static_cast<char16_t>(0xD800 + (v >> 10));
            units += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
        } else {
            units += static_cast<char16_t>(character.point);
        }
        at += character.length;
    }
    return units;
}

std::string Utf8FromUtf16(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;  // a lone half of a pair
        }
        AppendUtf8(out, c);
    }
    return out;
}

bool SameName(std::string_view a, std::string_view b) {
    return Points(a) == Points(b);
}

std::u32string FoldedName(std::string_view text) {
    return Points(text);
}

std::vector<RawEntry> LongNameEntries(std::u16string_view name, std::uint8_t checksum) {
    const std::size_t count = (name.size() + kUnitsPerEntry - 1) / kUnitsPerEntry;
    std::vector<RawEntry> entries;
    for (std::size_t part = count; part >= 1; --part) {
        RawEntry entry{};
        entry[0] = std::byte{static_cast<unsigned char>(part)};
        if (part == count) {
            entry[0] |= kLastLongEntry;
        }
        entry[kAttributeOffset] = std::byte{0x0F};
        entry[kChecksumOffset] = std::byte{checksum};
        for (std::size_t u = 0; u < kUnitsPerEntry; ++u) {
            const std::size_t index = (part - 1) * kUnitsPerEntry + u;
            // After the name: one 0x0000, then 0xFFFF padding.
            const char16_t unit =
                index < name.size() ? name[index] : (index == name.size() ? 0 : 0xFFFF);
            entry[kUnitOffsets[u]] = std::byte{static_cast<unsigned char>(unit & 0xFF)};
            entry[kUnitOffsets[u] + 1] = std::byte{static_cast<unsigned char>(unit >> 8)};
        }
        entries.push_back(entry);
    }
    return entries;
}

void LongNameReader::Add(const RawEntry& entry) {
    const unsigned order = std::to_integer<unsigned>(entry[0] & std::byte{0x3F});
    const bool first = (entry[0] & kLastLongEntry) != std::byte{0};
    const auto checksum = std::to_integer<std::uint8_t>(entry[kChecksumOffset]);
    if (first) {
        units_.assign(order * kUnitsPerEntry, u'\0');
        checksum_ = checksum;
        expected_ = order;
    }
    if (order == 0 || order > 20 || order != expected_ || checksum != checksum_) {
        expected_ = 0;
        return;
    }
    for (std::size_t u = 0; u < kUnitsPerEntry; ++u) {
        units_[(order - 1) * kUnitsPerEntry + u] =
            static_cast<char16_t>(std::to_integer<unsigned>(entry[kUnitOffsets[u]]) |
                                  (std::to_integer<unsigned>(entry[kUnitOffsets[u] + 1]) << 8));
    }
    // The next piece down; after the first, Finish expects the short entry.
    expected_ = order == 1 ? 0x100 : order - 1;
}

std::optional<std::string> LongNameReader::Finish(const std::array<std::byte, 11>& shortName) {
    const bool complete = expected_ == 0x100 && checksum_ == ShortNameChecksum(shortName);
    expected_ = 0;
    if (!complete) {
        return std::nullopt;
    }
    const std::size_t end = units_.find(u'\0');
    std::u16string_view name(units_.data(), end == std::u16string::npos ? units_.size() : end);
    if (name.empty()) {
        return std::nullopt;
    }
    return Utf8FromUtf16(name);
}

}  // namespace quarnex::fat12
