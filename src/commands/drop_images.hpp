#pragma once
// Image files dropped on a row of the grid: they fill the selected store's
// slots from that row on, in the order given.

#include <string>
#include <vector>

#include "commands/window_context.hpp"
#include "state/outcome.hpp"

namespace quarnex {

// Every file is checked and the slots must lie in 1..999 before anything is
// written (a message says why not). Since one drop can replace many slots,
// the user is asked once, Yes or No, when any of them is used. The store is
// reloaded afterwards, so the grid shows what the slots now hold.
OperationResult PutDroppedImages(WindowContext& ctx, int row,
                                 const std::vector<std::string>& files);

}  // namespace quarnex
