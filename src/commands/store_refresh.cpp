#include "commands/store_refresh.hpp"

#include <cerrno>

#include "commands/main_commands.hpp"
#include "store/descriptions.hpp"

namespace quarnex {

StoreCheck ReloadIfChangedElsewhere(WindowContext& ctx) {
    ProgramState& state = ctx.state;
    if (state.selectedDevice == 0 || state.busy || ctx.window.edit.boxVisible) {
        return StoreCheck::Current;
    }
    bool changed = false;
    {
        // A look only: a writer elsewhere is waited out by trying later, and
        // nothing is said meanwhile.
        const LockResult look = ctx.devices.TryLock(state.SelectedEntry().path, LockKind::Shared);
        if (!look.lock) {
            return look.error == EWOULDBLOCK ? StoreCheck::Busy : StoreCheck::Current;
        }
        changed = DescriptionsChangedElsewhere(ctx, state.SelectedStore());
    }
    if (!changed) {
        return StoreCheck::Current;
    }
    LoadSelectedStore(ctx);
    return StoreCheck::Reloaded;
}

}  // namespace quarnex
