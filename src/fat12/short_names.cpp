#include "fat12/short_names.hpp"

#include <cctype>

#include "core/text_encoding.hpp"
#include "core/utf8.hpp"
#include "fat12/code_page_850.hpp"
#include "fat12/dir_entry.hpp"

namespace quarnex::fat12 {

namespace {

// A character a short name can hold: ASCII letters, digits and some signs,
// and the characters of code page 850 whose upper case it also holds.
bool IsShortNameChar(char32_t c) {
    if (c < 0x80) {
        return std::isalnum(static_cast<int>(c)) != 0 ||
               std::string_view("!#$%&'()-@^_`{}~").find(static_cast<char>(c)) !=
                   std::string_view::npos;
    }
    return ToCodePage850(c) && ToCodePage850(UpperLatin(c));
}

// The stored byte of a short-name character.
char ShortNameByte(char32_t c) {
    return static_cast<char>(*ToCodePage850(UpperLatin(c)));
}

ShortNameBytes ToBytes(const std::string& text) {
    ShortNameBytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = std::byte{static_cast<unsigned char>(text[i])};
    }
    // 0xE5 in the first byte marks a deleted entry, so it is stored as 0x05.
    if (bytes[0] == kDeletedMark) {
        bytes[0] = std::byte{0x05};
    }
    return bytes;
}

enum class Case { None, Lower, Upper, Mixed };

Case CaseOf(std::string_view part) {
    Case found = Case::None;
    for (std::size_t at = 0; at < part.size();) {
        const CodePoint character = NextCodePoint(part.substr(at));
        at += character.length;
        const char32_t c = character.point;
        const Case here = UpperLatin(c) != c   ? Case::Lower
                          : LowerLatin(c) != c ? Case::Upper
                                               : Case::None;
        if (here != Case::None) {
            found = found == Case::None || found == here ? here : Case::Mixed;
        }
    }
    return found;
}

// The upper-case basis of a long name: characters that cannot stand in a
// short name become "_", spaces and dots other than the last one are dropped.
struct Basis {
    std::string base;
    std::string extension;
    bool lossy = false;
};

std::string Squeeze(std::string_view text, std::size_t limit, bool& lossy) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const CodePoint character = NextCodePoint(text.substr(at));
        at += character.length;
        if (character.point == ' ' || character.point == '.') {
            lossy = true;
            continue;
        }
        char c = '_';
        if (IsShortNameChar(character.point)) {
            c = ShortNameByte(character.point);
        } else {
            lossy = true;
        }
        if (out.size() == limit) {
            lossy = true;
            break;
        }
        out += c;
    }
    return out;
}

Basis MakeBasis(std::string_view name) {
    Basis basis;
    std::size_t start = name.find_first_not_of('.');
    basis.lossy = start != 0;
    name = start == std::string_view::npos ? std::string_view{} : name.substr(start);
    const std::size_t dot = name.rfind('.');
    basis.base = Squeeze(name.substr(0, dot), 8, basis.lossy);
    if (dot != std::string_view::npos) {
        basis.extension = Squeeze(name.substr(dot + 1), 3, basis.lossy);
    }
    return basis;
}

std::string Padded(const std::string& base, const std::string& extension) {
    std::string text = base;
    text.resize(8, ' ');
    text += extension;
    text.resize(11, ' ');
    return text;
}

}  // namespace

std::string ShortName(std::string_view name) {
    std::string result(11, ' ');
    std::size_t base = 0;
    std::size_t extension = 0;
    bool inExtension = false;
    for (std::size_t at = 0; at < name.size();) {
        const CodePoint character = NextCodePoint(name.substr(at));
        at += character.length;
        if (character.point == '.' && !inExtension) {
            inExtension = true;
            continue;
        }
        std::size_t& count = inExtension ? extension : base;
        if (!IsShortNameChar(character.point) || count == (inExtension ? 3 : 8)) {
            return {};
        }
        result[inExtension ? 8 + count : count] = ShortNameByte(character.point);
        ++count;
    }
    return base == 0 ? std::string{} : result;
}

std::string ShortNameText(const ShortNameBytes& stored, std::byte caseBits) {
    std::string text;
    const auto part = [&](std::size_t from, std::size_t to, bool lower) {
        std::size_t end = to;
        while (end > from && stored[end - 1] == std::byte{' '}) {
            --end;
        }
        for (std::size_t i = from; i < end; ++i) {
            unsigned byte = std::to_integer<unsigned>(stored[i]);
            byte = (i == 0 && byte == 0x05) ? 0xE5 : byte;
            const char32_t c = FromCodePage850(static_cast<std::uint8_t>(byte));
            AppendUtf8(text, lower ? LowerLatin(c) : c);
        }
        return end > from;
    };
    part(0, 8, (caseBits & kLowerCaseBase) != std::byte{0});
    std::string base = text;
    text.clear();
    if (part(8, 11, (caseBits & kLowerCaseExtension) != std::byte{0})) {
        return base + "." + text;
    }
    return base;
}

std::optional<ShortNameChoice> ChooseShortName(
    std::string_view name, const std::function<bool(const ShortNameBytes&)>& taken) {
    ShortNameChoice choice;
    const std::string exact = ShortName(name);
    if (!exact.empty()) {
        const std::size_t dot = name.find('.');
        const Case base = CaseOf(name.substr(0, dot));
        const Case ext = dot == std::string_view::npos ? Case::None : CaseOf(name.substr(dot + 1));
        choice.name = ToBytes(exact);
        choice.needsLongName = base == Case::Mixed || ext == Case::Mixed;
        if (!choice.needsLongName) {
            choice.caseBits = (base == Case::Lower ? kLowerCaseBase : std::byte{0}) |
                              (ext == Case::Lower ? kLowerCaseExtension : std::byte{0});
        }
        if (!taken(choice.name)) {
            return choice;
        }
        return std::nullopt;  // that very name is in use
    }
    const Basis basis = MakeBasis(name);
    choice.needsLongName = true;
    choice.caseBits = std::byte{0};
    if (!basis.lossy && !basis.base.empty()) {
        choice.name = ToBytes(Padded(basis.base, basis.extension));
        if (!taken(choice.name)) {
            return choice;
        }
    }
    const std::string base = basis.base.empty() ? "_" : basis.base;
    for (unsigned n = 1; n < 1000000; ++n) {
        const std::string tail = "~" + std::to_string(n);
        choice.name = ToBytes(Padded(base.substr(0, 8 - tail.size()) + tail, basis.extension));
        if (!taken(choice.name)) {
            return choice;
        }
    }
    return std::nullopt;
}

}  // namespace quarnex::fat12
