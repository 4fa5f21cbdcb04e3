// Operations on the selected store as the window and the terminal tool run
// them: backing it up, restoring and formatting it, and reading a slot into
// the internal image.

#include <memory>
#include <optional>
#include <string>

#include "commands/image_changes.hpp"
#include "commands/main_commands.hpp"
#include "commands/status.hpp"
#include "commands/window_store_lock.hpp"
#include "core/text.hpp"
#include "image/image_format.hpp"
#include "image/image_target.hpp"
#include "store/format_usb.hpp"
#include "store/slot_transfer.hpp"

namespace quarnex {

namespace {

// Asks for the whole-store file when none was given; false when the dialog
// was cancelled. The strip is cleared first, as the copy starts.
bool ChooseStoreFile(Context& ctx, std::string& path, FileDialogKind kind,
                     const FileDialogRequest& request) {
    if (!path.empty()) {
        return true;
    }
    ctx.progress.Started();
    const std::optional<std::string> chosen = AskTransferFile(ctx, kind, request);
    path = chosen.value_or("");
    return chosen.has_value();
}

const OperationResult kDialogCancelled =
    OperationResult::NotStarted(NotStartedReason::DialogCancelled);

}  // namespace

std::optional<std::string> AskTransferFile(Context& ctx, FileDialogKind kind,
                                           const FileDialogRequest& request) {
    std::optional<std::string> chosen =
        kind == FileDialogKind::Save ? ctx.ui.AskSaveFile(request) : ctx.ui.AskOpenFile(request);
    if (!chosen || chosen->empty()) {
        ctx.progress.Over();
        return std::nullopt;
    }
    return chosen;
}

BackupResult BackupSelectedStore(Context& ctx, std::string& path) {
    if (!ChooseStoreFile(ctx, path, FileDialogKind::Save,
                         FileDialogRequest{"Export 1000 Floppy Image", "", "img", kImageFileFilter,
                                           1, ChosenFile::AnyName, ReplacePrompt::Ask})) {
        return {kDialogCancelled};
    }
    return BackupStoreToFile(ctx, ctx.state.SelectedStore(), path, ctx.state.transferBuffer.Span());
}

OperationResult RestoreSelectedStore(Context& ctx, std::string& path, ReadBack readBack) {
    if (!ChooseStoreFile(ctx, path, FileDialogKind::Open,
                         FileDialogRequest{"Import 1000 Floppy Image", "", "img", kImageFileFilter,
                                           1, ChosenFile::Existing, ReplacePrompt::None})) {
        return kDialogCancelled;
    }
    return RestoreStoreFromFile(ctx, ctx.state.SelectedEntry(), path,
                                ctx.state.transferBuffer.Span(), readBack);
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
    if (!MayDiscardImageChanges(ctx, ImageDiscard::Import)) {
        return;
    }
    if (const std::unique_ptr<StoreLock> lock = LockSelectedStore(ctx, LockKind::Shared)) {
        ReadSlotIntoImage(ctx, ctx.state.selectedDisk);
    }
}

}  // namespace quarnex
