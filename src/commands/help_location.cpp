#include "commands/help_location.hpp"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/text.hpp"

namespace quarnex {

namespace {

bool CanOpenForReading(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    return static_cast<bool>(file);
}

// A file: address needs an absolute path; a relative one (an empty appFolder)
// is taken from the current folder, as the program would open it.
std::string Absolute(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.string();
}

std::string UrlOfPage(std::string page) {
    if (!page.empty() && page.front() != '/' && page.find(":\\") != 1 && page.find(":/") != 1) {
        page = Absolute(page);
    }
    return MakeFileUrl(page);
}

}  // namespace

std::string ReadHelpLocation(std::string_view text) {
    std::string page;
    bool inHelp = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string line = TrimSpaces(text.substr(start, end - start));
        start = end + 1;
        if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n') {
            ++start;
        }
        if (!line.empty() && line.front() == '[') {
            inHelp = ToUpperAscii(line).find("[HELP]") != std::string::npos;
            continue;
        }
        if (!inHelp || ToUpperAscii(LeftChars(line, 4)) != "FILE") {
            continue;
        }
        const std::size_t equals = line.find('=');
        page = equals == std::string::npos ? line
                                           : TrimSpaces(std::string_view(line).substr(equals + 1));
    }
    return page;
}

std::string MakeFileUrl(std::string& path) {
    if (path.empty()) {
        return {};
    }
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    // "file:///" + "C:/x" and "file://" + "/x": three slashes either way.
    return (path.front() == '/' ? "file://" : "file:///") + path;
}

std::string FindHelpFile(const std::string& appFolder) {
    std::string page;
    if (std::ifstream location(appFolder + std::string(kHelpLocationFile), std::ios::binary);
        location) {
        const std::string text((std::istreambuf_iterator<char>(location)),
                               std::istreambuf_iterator<char>());
        page = ReadHelpLocation(text);
    }
    if (CanOpenForReading(page)) {
        return UrlOfPage(page);
    }
    page = appFolder + std::string(kDefaultHelpPage);
    return CanOpenForReading(page) ? UrlOfPage(page) : std::string();
}

}  // namespace quarnex
