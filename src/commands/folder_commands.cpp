#include "commands/folder_commands.hpp"

#include <filesystem>

#include "commands/folder_transfer.hpp"
#include "commands/main_commands.hpp"
#include "commands/put_images.hpp"
#include "commands/window_store_lock.hpp"
#include "state/error_report.hpp"
#include "store/descriptions_file.hpp"
#include "store/folder_layout.hpp"
#include "store/slot_usage.hpp"

namespace quarnex {

namespace {

constexpr const char* kExportTitle = "Export Slots To Folder";
constexpr const char* kImportTitle = "Import Folder";

OperationResult Say(WindowContext& ctx, const char* title, std::string text,
                    MessageIcon icon = MessageIcon::Exclamation) {
    ctx.ui.ShowMessage(MessageRequest{title, std::move(text), MessageButtons::Ok, icon});
    return OperationResult::NotStarted(NotStartedReason::Refused);
}

std::vector<int> AllSlots() {
    std::vector<int> slots;
    for (int slot = 1; slot < kSlotCount; ++slot) {
        slots.push_back(slot);
    }
    return slots;
}

}  // namespace

OperationResult ExportSlotsToFolder(WindowContext& ctx, const std::string& folder) {
    if (ctx.state.selectedDevice == 0) {
        return OperationResult::NotStarted(NotStartedReason::NoTarget);
    }
    const std::unique_ptr<StoreLock> lock = LockSelectedStore(ctx, LockKind::Shared);
    if (!lock) {
        return OperationResult::NotStarted(NotStartedReason::Refused);
    }
    const Result<std::vector<int>> used =
        UsedSlotsAmong(ctx, ctx.state.SelectedStore(), AllSlots());
    if (!used) {
        return OperationResult::NotStarted(used.Error());
    }
    if (used.Value().empty()) {
        return Say(ctx, kExportTitle,
                   ctx.state.SelectedEntry().path + " has no used slots; nothing was written.",
                   MessageIcon::None);
    }
    const ExportPlan plan = PlanFolderExport(ctx.state.slotTable, used.Value(), folder,
                                             ExportNames::Number, ExistingFiles::Refuse);
    if (plan.refusal) {
        return Say(ctx, kExportTitle, *plan.refusal);
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        return Say(ctx, kExportTitle,
                   "Cannot make the folder " + folder + ": " + ec.message() + ".");
    }
    const SlotFilesExport run = ExportSlotsToFiles(ctx, ctx.state.SelectedEntry(), plan.targets,
                                                   ctx.state.imageBuffer.Span());
    if (run.written.empty()) {
        return run.result;
    }
    const std::string path = InFolder(folder, kFolderDescriptionsName);
    const std::string text =
        MergedFolderDescriptions(ReadPlainFile(ctx, path), ctx.state.slotTable, run.written);
    if (Status saved = WritePlainFile(ctx, path, text); !saved) {
        ErrorRecord error = saved.Error();
        error.doing = path + " was not written; the image files are complete.";
        ErrorReport(ctx, std::move(error));
    }
    if (run.result.Complete()) {
        Say(ctx, kExportTitle,
            std::to_string(run.written.size()) + " slots were written to " + folder +
                ", their descriptions to " + kFolderDescriptionsName + ".",
            MessageIcon::None);
    }
    return run.result;
}

OperationResult ImportFolder(WindowContext& ctx, const std::string& folder) {
    if (ctx.state.selectedDevice == 0) {
        return OperationResult::NotStarted(NotStartedReason::NoTarget);
    }
    if (!MayReplaceDescriptions(ctx)) {
        return OperationResult::NotStarted(NotStartedReason::Refused);
    }
    // One lock for the plan, the question, the slots and the reload.
    const std::unique_ptr<StoreLock> lock = LockSelectedStore(ctx, LockKind::Exclusive);
    if (!lock) {
        return OperationResult::NotStarted(NotStartedReason::Refused);
    }
    const ImportPlan plan = PlanFolderImport(ctx, ctx.state.SelectedStore(), folder);
    if (plan.refusal) {
        return Say(ctx, kImportTitle, *plan.refusal);
    }
    if (plan.failed) {
        return OperationResult::NotStarted(NotStartedReason::Failure);
    }
    std::vector<int> slots;
    for (const ImagePlacement& placement : plan.placements) {
        slots.push_back(placement.slot);
    }
    const Result<std::vector<int>> used = UsedSlotsAmong(ctx, ctx.state.SelectedStore(), slots);
    if (!used) {
        return OperationResult::NotStarted(used.Error());
    }
    const std::string question =
        "Put " + std::to_string(slots.size()) +
        (slots.size() == 1 ? " image file" : " image files") + " of " + folder + " into " +
        SlotListText(slots) + "?" +
        (used.Value().empty() ? std::string()
                              : " What " + SlotListText(used.Value()) +
                                    " holds (image and description) is replaced.");
    if (ctx.ui.ShowMessage(MessageRequest{kImportTitle, question, MessageButtons::YesNo,
                                          MessageIcon::Exclamation}) != MessageAnswer::Yes) {
        return OperationResult::NotStarted(NotStartedReason::Refused);
    }
    const BatchResult batch = PutImages(ctx, ctx.state.SelectedStore(), plan.placements);
    if (batch.refused) {
        Say(ctx, kImportTitle,
            ImageFileProblemText(*batch.refused, ctx.devices.ErrorText(batch.refused->error)));
    }
    LoadStoreLocked(ctx);
    if (batch.result.Complete() && plan.descriptionsFile) {
        Say(ctx, kImportTitle,
            std::to_string(plan.descriptionsRestored) +
                (plan.descriptionsRestored == 1 ? " description was" : " descriptions were") +
                " restored from " + kFolderDescriptionsName +
                (plan.linesSkipped == 0 ? std::string(".")
                                        : "; " + std::to_string(plan.linesSkipped) +
                                              " lines of it could not be placed."),
            MessageIcon::None);
    }
    return batch.result;
}

}  // namespace quarnex
