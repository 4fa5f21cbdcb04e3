#include "commands/drop_images.hpp"

#include "commands/main_commands.hpp"
#include "commands/put_images.hpp"
#include "commands/window_store_lock.hpp"
#include "core/text.hpp"
#include "store/slot_usage.hpp"

namespace quarnex {

namespace {

constexpr const char* kTitle = "Put Image Files";

OperationResult Refuse(WindowContext& ctx, std::string text) {
    ctx.ui.ShowMessage(
        MessageRequest{kTitle, std::move(text), MessageButtons::Ok, MessageIcon::Exclamation});
    return OperationResult::NotStarted(NotStartedReason::Refused);
}

bool MayReplace(WindowContext& ctx, const std::vector<int>& used) {
    if (used.empty()) {
        return true;
    }
    const std::string text = "Replace the images and descriptions of " + SlotListText(used) +
                             " of " + ctx.state.SelectedEntry().path + " with the dropped files?";
    return ctx.ui.ShowMessage(MessageRequest{kTitle, text, MessageButtons::YesNo,
                                             MessageIcon::Exclamation}) == MessageAnswer::Yes;
}

}  // namespace

OperationResult PutDroppedImages(WindowContext& ctx, int row,
                                 const std::vector<std::string>& files) {
    if (ctx.state.selectedDevice == 0 || files.empty()) {
        return OperationResult::NotStarted(NotStartedReason::NoTarget);
    }
    if (const std::optional<ImageFileProblem> problem = CheckImageFiles(ctx.devices, files)) {
        return Refuse(ctx, ImageFileProblemText(*problem, ctx.devices.ErrorText(problem->error)));
    }
    const std::optional<std::vector<int>> slots = ConsecutiveSlots(row, files.size());
    if (!slots) {
        return Refuse(ctx, PastLastSlotText(row, files.size()));
    }
    if (!MayReplaceDescriptions(ctx)) {
        return OperationResult::NotStarted(NotStartedReason::Refused);
    }
    // One lock for the question, the slots, their records and the reload.
    const std::unique_ptr<StoreLock> lock = LockSelectedStore(ctx, LockKind::Exclusive);
    if (!lock) {
        return OperationResult::NotStarted(NotStartedReason::Refused);
    }
    const Result<std::vector<int>> used = UsedSlotsAmong(ctx, ctx.state.SelectedStore(), *slots);
    if (!used) {
        return OperationResult::NotStarted(used.Error());
    }
    if (!MayReplace(ctx, used.Value())) {
        return OperationResult::NotStarted(NotStartedReason::Refused);
    }
    const BatchResult batch = PutImages(ctx, ctx.state.SelectedStore(), PlaceImages(files, *slots));
    if (batch.refused) {
        Refuse(ctx,
               ImageFileProblemText(*batch.refused, ctx.devices.ErrorText(batch.refused->error)));
    }
    LoadStoreLocked(ctx);
    return batch.result;
}

}  // namespace quarnex
