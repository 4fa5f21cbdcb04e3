// Operations on the selected store as the window and the terminal tool run
// them: backing it up, restoring and formatting it, and reading a slot into
// the internal image.

#include <memory>
#include <optional>
#include <string>

#include "commands/main_commands.hpp"
#include "commands/status.hpp"
#include "commands/window_store_lock.hpp"
#include "core/text.hpp"
#include "image/image_format.hpp"
#include "store/format_usb.hpp"
#include "store/slot_transfer.hpp"

namespace quarnex {

namespace {

constexpr const char* kImageFilter = "Image Files (*.img)|*.img|All Files (*.*)|*.*";

// Asks for the whole-store file when none was given; false when the dialog
// was cancelled, which passes silently. The strip is cleared first, as the
// copy starts.
bool ChooseStoreFile(Context& ctx, std::string& path, FileDialogRequest request) {
    if (!path.empty()) {
        return true;
    }
    ctx.progress.Started();
    const std::optional<std::string> chosen = request.replacePrompt == ReplacePrompt::Ask
                                                  ? ctx.ui.AskSaveFile(request)
                                                  : ctx.ui.AskOpenFile(request);
    if (!chosen || chosen->empty()) {
        ctx.progress.Over();
        return false;
    }
    path = *chosen;
    return true;
}

const OperationResult kDialogCancelled =
    OperationResult::NotStarted(NotStartedReason::DialogCancelled);

}  // namespace

BackupResult BackupSelectedStore(Context& ctx, std::string& path) {
    if (!ChooseStoreFile(ctx, path,
                         FileDialogRequest{"Export 1000 Floppy Image", "", "img", kImageFilter, 1,
                                           ChosenFile::AnyName, ReplacePrompt::Ask})) {
        return {kDialogCancelled};
    }
    return BackupStoreToFile(ctx, ctx.state.SelectedStore(), path, ctx.state.transferBuffer.Span());
}

OperationResult RestoreSelectedStore(Context& ctx, std::string& path) {
    if (!ChooseStoreFile(ctx, path,
                         FileDialogRequest{"Import 1000 Floppy Image", "", "img", kImageFilter, 1,
                                           ChosenFile::Existing, ReplacePrompt::None})) {
        return kDialogCancelled;
    }
    return RestoreStoreFromFile(ctx, ctx.state.SelectedEntry(), path,
                                ctx.state.transferBuffer.Span());
}

OperationResult FormatSelectedStore(Context& ctx, const FormatRequest& request) {
    ProgramState& state = ctx.state;
    if (state.selectedDevice == 0) {
        // As a format starts: the strip is cleared, then nothing happens.
        ctx.progress.Started();
        ctx.progress.Doing(Activity{});
        return OperationResult::NotStarted(NotStartedReason::NoTarget);
    }
    return FormatStore(
        ctx, state.SelectedStore(),
        StoreFormat{request, state.appFolder + kFat12TemplatePath, state.transferBuffer.Span()});
}

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
    if (const std::unique_ptr<StoreLock> lock = LockSelectedStore(ctx, LockKind::Shared)) {
        ReadSlotIntoImage(ctx, ctx.state.selectedDisk);
    }
}

}  // namespace quarnex
