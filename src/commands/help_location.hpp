#pragma once
// HelpM's plain half: where the help page is and its file: address.

#include <string>
#include <string_view>

namespace quarnex {

// Relative to appFolder.
inline constexpr std::string_view kHelpLocationFile = "QuarnCfg/QuarnHlp.url";
inline constexpr std::string_view kDefaultHelpPage = "QuarnHlp/QuarnHlp.htm";

// The page path named by a location file's text: the last FILE line of the
// [HELP] section (both matched in any case), or empty when there is none.
std::string ReadHelpLocation(std::string_view text);

// Turns every "\" of path into "/" (in path itself) and returns its file:
// address; empty for an empty path.
std::string MakeFileUrl(std::string& path);

// HelpURL: the page the location file names when it can be read, else the
// default page under appFolder when it can be read, else empty. Silent.
std::string FindHelpFile(const std::string& appFolder);

}  // namespace quarnex
