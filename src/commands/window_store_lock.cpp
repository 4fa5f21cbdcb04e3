#include "commands/window_store_lock.hpp"

#include <cerrno>

#include "core/text.hpp"
#include "state/error_report.hpp"

namespace quarnex {

std::unique_ptr<StoreLock> LockSelectedStore(WindowContext& ctx, LockKind kind) {
    const std::string path = ctx.state.SelectedEntry().path;
    LockResult result = ctx.devices.TryLock(path, kind);
    if (result.lock) {
        return std::move(result.lock);
    }
    if (result.error != EWOULDBLOCK) {
        ErrorReport(ctx, result.error, "QrnMLockStore",
                    "An error occurred when attempting to lock " + path);
        return nullptr;
    }
    ctx.ui.ShowMessage(
        MessageRequest{"Store In Use",
                       path + " is in use by another program." + std::string(kCrLf) +
                           "Nothing was done. Try again when that program has finished.",
                       MessageButtons::Ok, MessageIcon::Exclamation});
    return nullptr;
}

}  // namespace quarnex
