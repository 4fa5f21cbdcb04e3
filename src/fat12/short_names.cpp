#include "fat12/short_names.hpp"

#include <cctype>

#include "core/utf8.hpp"
#include "fat12/dir_entry.hpp"

namespace quarnex::fat12 {

namespace {

bool IsShortNameChar(unsigned char c) {
    if (std::isalnum(c) != 0) {
        return true;
    }
    return std::string_view("!#$%&'()-@^_`{}~").find(static_cast<char>(c)) !=
           std::string_view::npos;
}

ShortNameBytes ToBytes(const std::string& text) {
    ShortNameBytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = std::byte{static_cast<unsigned char>(text[i])};
    }
    return bytes;
}

enum class Case { None, Lower, Upper, Mixed };

Case CaseOf(std::string_view part) {
    Case found = Case::None;
    for (const char c : part) {
        const Case here = std::islower(static_cast<unsigned char>(c)) != 0   ? Case::Lower
                          : std::isupper(static_cast<unsigned char>(c)) != 0 ? Case::Upper
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
        const Utf8Character character = NextCharacter(text.substr(at));
        at += character.length;
        if (character.point == ' ' || character.point == '.') {
            lossy = true;
            continue;
        }
        char c = '_';
        if (character.point < 0x80 &&
            IsShortNameChar(static_cast<unsigned char>(character.point))) {
            c = static_cast<char>(std::toupper(static_cast<int>(character.point)));
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
    const std::size_t dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view ext = dot == std::string_view::npos ? "" : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3) {
        return {};
    }
    std::string result(11, ' ');
    for (std::size_t i = 0; i < base.size() + ext.size(); ++i) {
        const auto c = static_cast<unsigned char>(i < base.size() ? base[i] : ext[i - base.size()]);
        if (!IsShortNameChar(c)) {
            return {};
        }
        result[i < base.size() ? i : 8 + i - base.size()] = static_cast<char>(std::toupper(c));
    }
    return result;
}

std::string ShortNameText(const ShortNameBytes& stored, std::byte caseBits) {
    std::string text;
    const auto part = [&](std::size_t from, std::size_t to, bool lower) {
        std::size_t end = to;
        while (end > from && stored[end - 1] == std::byte{' '}) {
            --end;
        }
        for (std::size_t i = from; i < end; ++i) {
            unsigned c = std::to_integer<unsigned>(stored[i]);
            c = (i == 0 && c == 0x05) ? 0xE5 : c;
            if (lower && c < 0x80) {
                c = static_cast<unsigned>(std::tolower(static_cast<int>(c)));
            }
            if (c < 0x80) {
                text += static_cast<char>(c);
            } else {
                text += static_cast<char>(0xC0 | (c >> 6));
                text += static_cast<char>(0x80 | (c & 0x3F));
            }
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
