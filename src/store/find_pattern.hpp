#pragma once
// What Find looks for: a pattern with * or ? matches a whole name or text,
// one without them any part of it; letters match without regard to case, as
// FAT names do.

#include <string>
#include <string_view>

namespace quarnex {

class FindPattern {
  public:
    explicit FindPattern(std::string_view pattern);
    bool Matches(std::string_view text) const;

  private:
    std::u32string folded_;
    bool wild_ = false;
};

}  // namespace quarnex
