#pragma once
// Texts from a store (descriptions, sources, labels) as the terminal may
// show them: they must never reach it as control sequences.

#include <string>
#include <string_view>

namespace quarnex::cli {

// Control characters (C0, DEL and C1) become "\x" and two hex digits; bytes
// that are not UTF-8 become U+FFFD.
std::string TerminalText(std::string_view text);

}  // namespace quarnex::cli
