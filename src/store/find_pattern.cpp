#include "store/find_pattern.hpp"

#include "fat12/long_names.hpp"

namespace quarnex {

namespace {

// The whole of text against a pattern of * (any run) and ? (one character);
// a * that failed is retried one character further, never more.
bool WholeMatch(std::u32string_view pattern, std::u32string_view text) {
    std::size_t p = 0;
    std::size_t t = 0;
    std::size_t star = std::u32string_view::npos;
    std::size_t resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            star = p++;
            resume = t;
        } else if (star != std::u32string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

FindPattern::FindPattern(std::string_view pattern)
    : folded_(fat12::FoldedName(pattern)),
      wild_(pattern.find_first_of("*?") != std::string_view::npos) {}

bool FindPattern::Matches(std::string_view text) const {
    const std::u32string folded = fat12::FoldedName(text);
    return wild_ ? WholeMatch(folded_, folded) : folded.find(folded_) != std::u32string::npos;
}

}  // namespace quarnex
