// The main window's command that reads a slot of the selected store into
// the internal image.

#include <memory>

#include "commands/main_commands.hpp"
#include "commands/window_store_lock.hpp"
#include "core/text.hpp"
#include "state/status.hpp"
#include "store/slot_transfer.hpp"

namespace quarnex {

OperationResult ReadSlotIntoImage(Context& ctx, int n) {
    ProgramState& state = ctx.state;
    // A copy: the device table must not change under the transfer while
    // events run.
    const DeviceEntry store = state.SelectedEntry();
    const OperationResult result =
        ImportFromSlot(ctx, StoreInUse{store, state.slotTable}, n, state.imageBuffer.Span());
    if (result.Complete()) {
        SetBufferLabel(
            ctx, "USB Disk(" + ThreeDigits(n) + ")   [" + store.name + "  (" + store.path + ")]",
            false);
        state.imageSource = SourceUsbSlot;
    } else if (result.outcome == Outcome::Incomplete) {
        SetBufferLabel(ctx, kUnreliableImageCaption, true);
    }
    return result;
}

void ImportImageFromSlot(WindowContext& ctx) {
    if (const std::unique_ptr<StoreLock> lock = LockSelectedStore(ctx, false)) {
        ReadSlotIntoImage(ctx, ctx.state.selectedDisk);
    }
}

}  // namespace quarnex
