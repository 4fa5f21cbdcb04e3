#include "commands/text_metrics.hpp"

namespace quarnex {

double FixedTextMetrics::TextHeightTwips(std::string_view text) const {
    int lines = 1;
    for (std::size_t pos = text.find("\r\n"); pos != std::string_view::npos;
         pos = text.find("\r\n", pos + 2)) {
        ++lines;
    }
    return lines * lineHeight_;
}

}  // namespace quarnex
