#pragma once
// Noticing that another program changed the selected store while the window
// was in the background, without waiting for it.

#include "commands/window_context.hpp"

namespace quarnex {

enum class StoreCheck {
    Current,   // nothing to do, or nothing changed
    Reloaded,  // its DISKS.TXT had changed: the store was read again
    Busy,      // another program holds the store: try again later
};

// When the window comes back to the front: reads the selected store again if
// its DISKS.TXT changed since the window read or wrote it. Nothing while an
// operation runs or a description is being edited (its save takes in what
// changed).
StoreCheck ReloadIfChangedElsewhere(WindowContext& ctx);

}  // namespace quarnex
