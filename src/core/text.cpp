#include "core/text.hpp"

#include <array>
#include <cctype>
#include <cmath>
#include <vector>

#include "core/utf8.hpp"

namespace quarnex {

std::string ThreeDigits(long value) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (digits.size() < 3) {
        digits.insert(0, 3 - digits.size(), '0');
    }
    return value < 0 ? "-" + digits : digits;
}

std::string FormatThousands(std::int64_t value) {
    const bool negative = value < 0;
    // Work on the unsigned magnitude so that the most negative value survives.
    std::uint64_t magnitude =
        negative ? static_cast<std::uint64_t>(-(value + 1)) + 1 : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    std::string out;
    out.reserve(digits.size() + digits.size() / 3 + 1);
    const std::size_t lead = digits.size() % 3;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (i % 3) == lead % 3) {
            out.push_back(',');
        }
        out.push_back(digits[i]);
    }
    return negative ? "-" + out : out;
}

double RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5) {
        return floor + 1.0;
    }
    if (fraction < 0.5) {
        return floor;
    }
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

double LenientNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    double value = 0.0;
    double scale = 0.0;  // 0 while reading the integer part
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            if (scale == 0.0) {
                value = value * 10.0 + (c - '0');
            } else {
                value += (c - '0') * scale;
                scale /= 10.0;
            }
        } else if (c == '.' && scale == 0.0) {
            scale = 0.1;
        } else {
            break;
        }
    }
    return negative ? -value : value;
}

std::size_t PositionOfFirst(std::string_view text, std::string_view characters) {
    if (text.empty() || characters.empty()) {
        return 0;
    }
    const std::size_t pos = text.find_first_of(characters);
    return pos == std::string_view::npos ? 0 : pos + 1;
}

std::size_t PositionOfLast(std::string_view text, std::string_view characters) {
    if (text.empty() || characters.empty()) {
        return 0;
    }
    const std::size_t pos = text.find_last_of(characters);
    return pos == std::string_view::npos ? 0 : pos + 1;
}

double UnsignedToDouble(std::int32_t value) {
    return static_cast<double>(static_cast<std::uint32_t>(value));
}

std::string TrimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

namespace {

// The capital of a small letter of Windows-1252 (Latin-1 and the four of
// 0x80..0x9F); the point itself for anything else, such as the sharp s.
std::uint32_t CapitalOf(std::uint32_t point) {
    if (point >= 'a' && point <= 'z') {
        return point - 'a' + 'A';
    }
    if (point >= 0xE0 && point <= 0xFE && point != 0xF7) {
        return point - 0x20;
    }
    switch (point) {
        case 0x0153:  // oe ligature
        case 0x0161:  // s caron
            return point - 1;
        case 0x017E:  // z caron
            return 0x017D;
        case 0x00FF:  // y diaeresis
            return 0x0178;
        default:
            return point;
    }
}

}  // namespace

std::string ToUpperLabel(std::string_view text) {
    std::string out;
    while (!text.empty()) {
        const CodePoint c = NextCodePoint(text);
        const std::uint32_t upper = CapitalOf(c.point);
        if (upper == c.point || c.length > 2) {
            out.append(text.substr(0, c.length));
        } else if (upper < 0x80) {
            out += static_cast<char>(upper);
        } else {
            // Every capital here lies below U+0800: two bytes.
            out += static_cast<char>(0xC0 | (upper >> 6));
            out += static_cast<char>(0x80 | (upper & 0x3F));
        }
        text.remove_prefix(c.length);
    }
    return out;
}

std::string LeftChars(std::string_view text, std::size_t n) {
    return std::string(text.substr(0, n));
}

std::string FirstCharacters(std::string_view text, std::size_t n) {
    std::size_t end = 0;
    for (std::size_t count = 0; count < n && end < text.size(); ++count) {
        end += NextCodePoint(text.substr(end)).length;
    }
    return std::string(text.substr(0, end));
}

std::string PadRight(std::string_view text, std::size_t width) {
    std::string out(text);
    if (out.size() < width) {
        out.append(width - out.size(), ' ');
    }
    return out;
}

std::string ShortenPath(std::string_view path) {
    constexpr std::size_t kLimit = 40;
    constexpr std::size_t kMaxSeparators = 40;
    constexpr std::size_t kNoCandidate = 100;
    if (path.size() <= kLimit) {
        return std::string(path);
    }
    std::vector<std::size_t> sep;  // 1-based positions of every separator
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '/') {
            sep.push_back(i + 1);
        }
    }
    const std::size_t n = sep.size();
    if (n <= 1 || n > kMaxSeparators) {
        return std::string(path);
    }
    auto candidateLength = [&](std::size_t h, std::size_t t) {
        return sep[h - 1] + 3 + (path.size() + 1 - sep[t - 1]);
    };
    auto candidate = [&](std::size_t h, std::size_t t) {
        return std::string(path.substr(0, sep[h - 1])) + "..." +
               std::string(path.substr(sep[t - 1] - 1));
    };
    const std::array<std::size_t, 3> heads{1, 2, 1};
    const std::array<std::size_t, 3> tails{n, n, n - 1};
    std::array<std::size_t, 3> lengths{};
    for (std::size_t c = 0; c < 3; ++c) {
        const bool possible = heads[c] <= tails[c] && tails[c] >= 1 && heads[c] <= n;
        lengths[c] = possible ? candidateLength(heads[c], tails[c]) : kNoCandidate;
    }
    std::size_t best = 3;
    for (std::size_t c = 0; c < 3; ++c) {
        if (lengths[c] <= kLimit && (best == 3 || lengths[c] > lengths[best])) {
            best = c;
        }
    }
    if (best != 3) {
        return candidate(heads[best], tails[best]);
    }
    return std::string(path.substr(sep[n - 1]));
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
    return lines;
}

std::string LowerHex(std::span<const std::byte> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const std::byte byte : bytes) {
        const auto value = std::to_integer<unsigned>(byte);
        text += kDigits[value >> 4];
        text += kDigits[value & 0xF];
    }
    return text;
}

}  // namespace quarnex
