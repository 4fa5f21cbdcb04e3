#pragma once
// File menu, Safely Remove: the selected stick made safe to unplug, as the
// terminal tool's eject does it.

#include "commands/window_context.hpp"

namespace quarnex {

// Whether Safely Remove is on offer (the platform can power drives off and a
// scan can find them) and whether it may run now (a stick, not a store file,
// is selected). RefreshMainWindow keeps the entry so.
void ShowSafelyRemove(WindowContext& ctx);

// Once no program writes the selected stick (its exclusive lock is held),
// its file systems are unmounted and its drive powered off; then a rescan
// lists the sticks that remain. A refusal or failure is said, and the window
// stays as it was. True when the stick was powered off.
bool SafelyRemoveSelected(WindowContext& ctx);

}  // namespace quarnex
