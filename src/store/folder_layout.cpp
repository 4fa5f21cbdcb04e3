#include "store/folder_layout.hpp"

#include <cctype>

#include "core/text.hpp"

namespace quarnex {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Leading digits of text as a number (10000 for five or more), and how many.
std::pair<long, std::size_t> LeadingNumber(std::string_view text) {
    std::size_t digits = 0;
    long number = 0;
    while (digits < text.size() && IsDigit(text[digits])) {
        number = digits < 4 ? number * 10 + (text[digits] - '0') : 10000;
        ++digits;
    }
    return {number, digits};
}

std::string Escaped(std::string_view description) {
    std::string text;
    for (std::size_t i = 0; i < description.size(); ++i) {
        const char c = description[i];
        if (c == '\\') {
            text += "\\\\";
        } else if (c == '\r' || c == '\n') {
            text += "\\n";
            if (c == '\r' && i + 1 < description.size() && description[i + 1] == '\n') {
                ++i;
            }
        } else {
            text += c;
        }
    }
    return text;
}

std::string Unescaped(std::string_view text) {
    std::string description;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
            description += text[i + 1] == 'n' ? "\r\n" : "\\";
            ++i;
        } else {
            description += text[i];
        }
    }
    return description;
}

}  // namespace

std::string SlotImageName(int slot, const std::optional<std::string>& diskId) {
    std::string id = diskId ? TrimSpaces(*diskId) : std::string();
    for (char& c : id) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F ||
            std::string_view("\"*/:<>?\\|").find(c) != std::string_view::npos) {
            c = '_';
        }
    }
    // FAT32 drops trailing dots and spaces from a name; spaces are trimmed.
    for (std::size_t end = id.size(); end > 0 && id[end - 1] == '.'; --end) {
        id[end - 1] = '_';
    }
    return ThreeDigits(slot) + (id.empty() ? "" : "_" + id) + ".img";
}

NamedSlot SlotOfImageName(std::string_view name) {
    if (name.size() < 4 || ToUpperAscii(name.substr(name.size() - 4)) != ".IMG") {
        return {};
    }
    const std::string_view stem = name.substr(0, name.size() - 4);
    const auto [number, digits] = LeadingNumber(stem);
    if (digits == 0 || (digits < stem.size() && stem[digits] != '_')) {
        return {NamedSlot::Kind::Unnumbered};
    }
    return {NamedSlot::Kind::Numbered, number};
}

std::string FolderDescriptionsText(const std::map<int, std::string>& descriptions) {
    std::string text;
    for (const auto& [slot, description] : descriptions) {
        text += ThreeDigits(slot) + " " + Escaped(description) + "\r\n";
    }
    return text;
}

FolderDescriptions ParseFolderDescriptions(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    FolderDescriptions read;
    for (const std::string_view line : SplitLines(text)) {
        if (TrimSpaces(line).empty()) {
            continue;
        }
        const auto [slot, digits] = LeadingNumber(line);
        const bool separated =
            digits < line.size() && (line[digits] == ' ' || line[digits] == '\t');
        if (digits == 0 || (digits < line.size() && !separated) || slot < 1 || slot > 999 ||
            read.bySlot.contains(static_cast<int>(slot))) {
            ++read.skipped;
            continue;
        }
        read.bySlot[static_cast<int>(slot)] =
            Unescaped(separated ? line.substr(digits + 1) : std::string_view());
    }
    return read;
}

}  // namespace quarnex
