#include "platform/posix/mount_table.hpp"

namespace quarnex {

namespace {

// mountinfo writes space, tab, newline and backslash as \ooo.
std::string Unescape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && field.size() - i >= 4) {
            const char a = field[i + 1];
            const char b = field[i + 2];
            const char c = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out.push_back(static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0')));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && line[pos] == ' ') {
            ++pos;
        }
        const std::size_t end = line.find(' ', pos);
        const std::size_t stop = end == std::string_view::npos ? line.size() : end;
        if (stop > pos) {
            fields.push_back(line.substr(pos, stop - pos));
        }
        pos = stop;
    }
    return fields;
}

bool ParseMajorMinor(std::string_view text, unsigned& major, unsigned& minor) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 >= text.size()) {
        return false;
    }
    auto parse = [](std::string_view digits, unsigned& value) {
        value = 0;
        for (char c : digits) {
            if (c < '0' || c > '9' || value > 100000000U) {
                return false;
            }
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
        return true;
    };
    return parse(text.substr(0, colon), major) && parse(text.substr(colon + 1), minor);
}

}  // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
    std::vector<MountEntry> entries;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::vector<std::string_view> fields = SplitFields(text.substr(start, end - start));
        start = end + 1;
        // id parent major:minor root mountpoint options [optional...] - fstype source super
        std::size_t dash = 0;
        for (std::size_t i = 6; i < fields.size(); ++i) {
            if (fields[i] == "-") {
                dash = i;
                break;
            }
        }
        MountEntry entry;
        if (fields.size() < 5 || !ParseMajorMinor(fields[2], entry.major, entry.minor)) {
            continue;
        }
        entry.mountPoint = Unescape(fields[4]);
        if (dash != 0 && dash + 2 < fields.size()) {
            entry.source = Unescape(fields[dash + 2]);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace quarnex
