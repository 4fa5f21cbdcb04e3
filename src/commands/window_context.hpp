#pragma once
// What the main window's commands work with: everything an operation gets,
// and the window model the commands turn the operations' results into.

#include "commands/context.hpp"
#include "commands/window_model.hpp"

namespace quarnex {

struct WindowContext : Context {
    WindowModel& window;
};

}  // namespace quarnex
