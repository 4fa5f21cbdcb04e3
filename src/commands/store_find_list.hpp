#pragma once
// Find in the window: the selected store searched under a shared lock, with
// the status strip's progress and Cancel, and the matches as the small list
// window shows them.

#include <string>
#include <vector>

#include "commands/window_context.hpp"

namespace quarnex {

struct FindListRow {
    int slot = 0;
    std::string slotText;  // "007"
    std::string diskId;
    std::string found;  // the path, or what the ID or description matched
};

struct FindListing {
    std::vector<FindListRow> rows;
    std::string note;  // how many matched, or why the search stopped
};

FindListing FindInSelectedStore(WindowContext& ctx, const std::string& pattern);

}  // namespace quarnex
