#pragma once
// The main window's state procedure: menus, frame caption, status labels and
// grid resets for each state, together with the selection it forgets.

#include "state/context.hpp"

namespace quarnex {

enum MainWindowState : int {
    StateReset = -1,
    // 1..4: DeviceList with that many stores found
    StateDeviceLoaded = 5,
    StateDiskSelected = 6,
};

void RefreshMainWindow(Context& ctx, int state);

// Ends an open description edit without saving it.
void CloseEditWithoutSaving(Context& ctx);

}  // namespace quarnex
