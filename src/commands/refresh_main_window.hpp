#pragma once
// The main window's state procedure: menus, frame caption, status labels and
// grid resets for each state, together with the selection it forgets.

#include "commands/window_context.hpp"
#include "state/outcome.hpp"

namespace quarnex {

enum MainWindowState : int {
    StateReset = -1,
    // 1..4: DeviceList with that many stores found
    StateDeviceLoaded = 5,
    StateDiskSelected = 6,
};

void RefreshMainWindow(WindowContext& ctx, int state);

// After a format or a restore of the whole store: the window returns to its
// reset state, and the progress label then says how the operation ended (the
// user waits for "Finished" before unplugging the stick).
void ResetAfterWholeStoreWrite(WindowContext& ctx, const OperationResult& result);

// Ends an open description edit without saving it.
void CloseEditWithoutSaving(WindowContext& ctx);

// Caption of the frame around the grid.
void SetFrameCaption(WindowContext& ctx, std::string caption);

// Shows or hides the Cancel command and marks the menus busy, as the
// program state says; the window runs it before it draws the menus.
void ApplyBusyState(WindowContext& ctx);

}  // namespace quarnex
