#include "cli/terminal_text.hpp"

#include "core/text_encoding.hpp"
#include "core/utf8.hpp"

namespace quarnex::cli {

std::string TerminalText(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        const CodePoint next = NextCodePoint(text.substr(at));
        at += next.length;
        const char32_t point = next.point;
        if (point < 0x20 || (point >= 0x7F && point < 0xA0)) {
            shown += "\\x";
            shown += kHex[point >> 4];
            shown += kHex[point & 0xF];
        } else {
            AppendUtf8(shown, point);
        }
    }
    return shown;
}

}  // namespace quarnex::cli
