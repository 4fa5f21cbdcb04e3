#include "commands/safely_remove.hpp"

#include "commands/main_commands.hpp"
#include "commands/window_store_lock.hpp"
#include "state/error_report.hpp"

namespace quarnex {

namespace {

// The service takes the device away a moment after the drive went off; a
// rescan before that would try to open it.
constexpr double kGoneWaitSeconds = 5.0;
constexpr double kGonePollSeconds = 0.2;

bool SelectedIsDrive(const ProgramState& state) {
    // Store files are entered without a whole-disk number.
    return state.selectedDevice != 0 && state.SelectedEntry().driveNumber >= 0;
}

void WaitUntilGone(WindowContext& ctx, const std::string& path) {
    for (double waited = 0; waited < kGoneWaitSeconds && ctx.drives.KnowsDevice(path);
         waited += kGonePollSeconds) {
        ctx.clock.Sleep(kGonePollSeconds);
    }
}

}  // namespace

void ShowSafelyRemove(WindowContext& ctx) {
    MenuEntry& entry = ctx.window.menus[MenuId::File_Menu_SafelyRemove];
    entry.visible = ctx.state.adminRights == 1 && ctx.drives.CanPowerOff();
    entry.enabled = SelectedIsDrive(ctx.state);
}

bool SafelyRemoveSelected(WindowContext& ctx) {
    if (!SelectedIsDrive(ctx.state)) {
        return false;  // the entry is disabled then
    }
    const std::string path = ctx.state.SelectedEntry().path;
    {
        const std::unique_ptr<StoreLock> lock = LockSelectedStore(ctx, LockKind::Exclusive);
        if (!lock) {
            return false;
        }
        if (const int error = ctx.drives.PowerOff(path); error != 0) {
            ErrorReport(ctx, error, "QrnMSafelyRemove",
                        "The drive of " + path + " was not powered off; unplug it only after " +
                            "it has been.");
            return false;
        }
    }
    WaitUntilGone(ctx, path);
    ScanStores(ctx);
    ctx.ui.ShowMessage(MessageRequest{"Safely Remove",
                                      path + " is powered off and can be unplugged.",
                                      MessageButtons::Ok, MessageIcon::None});
    return true;
}

}  // namespace quarnex
