#pragma once
// The window's commands take the same whole-store locks as the terminal tool:
// exclusive while they write the selected store, shared while they read it.
// The window does not wait: when another program holds the store, a message
// box says so and the command does nothing.

#include <memory>

#include "commands/window_context.hpp"

namespace quarnex {

// The lock on the selected store, or null after the message box.
std::unique_ptr<StoreLock> LockSelectedStore(WindowContext& ctx, LockKind kind);

}  // namespace quarnex
