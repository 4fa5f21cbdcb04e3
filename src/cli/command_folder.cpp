#include <filesystem>
#include <iostream>

#include "cli/command_support.hpp"
#include "cli/commands.hpp"
#include "cli/put_placements.hpp"
#include "commands/activity_text.hpp"
#include "commands/folder_transfer.hpp"
#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "store/descriptions_file.hpp"
#include "store/folder_layout.hpp"
#include "store/slot_usage.hpp"

namespace quarnex::cli {

namespace {

// The folder as the user named it, made complete: it names the files that
// become the slots' sources.
std::string CompleteFolder(const std::string& folder) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
    return ec ? folder : absolute.lexically_normal().string();
}

// The slots an export copies: those asked for (all), the used ones unless
// --all; nothing after a failed read, which has been reported.
std::optional<std::vector<int>> SlotsToExport(CliWorld& world, const Invocation& invocation) {
    std::vector<int> slots = invocation.slotRange.value_or(std::vector<int>{});
    for (int slot = 1; !invocation.slotRange && slot < kSlotCount; ++slot) {
        slots.push_back(slot);
    }
    if (invocation.all) {
        return slots;
    }
    Context& ctx = world.Ctx();
    Result<std::vector<int>> used = UsedSlotsAmong(ctx, ctx.state.SelectedStore(), slots);
    if (!used) {
        return std::nullopt;
    }
    return std::move(used).Value();
}

// The descriptions of the slots written go beside their files, merged with
// the lines of other slots the file already held.
bool WriteFolderDescriptions(CliWorld& world, const std::string& folder,
                             const std::vector<int>& written) {
    Context& ctx = world.Ctx();
    const std::string path = InFolder(folder, kFolderDescriptionsName);
    const std::string text =
        MergedFolderDescriptions(ReadPlainFile(ctx, path), ctx.state.slotTable, written);
    if (Status saved = WritePlainFile(ctx, path, text); !saved) {
        world.Console().Note(
            path + " was not written: " + ctx.devices.ErrorText(saved.Error().systemError) +
            "; the image files are complete");
        return false;
    }
    std::cout << "descriptions -> " << path << '\n';
    return true;
}

}  // namespace

int RunExport(CliWorld& world, const Invocation& invocation) {
    const std::optional<StoreTarget> store = OpenStore(world, invocation.store, StoreUse::Existing,
                                                       StoreAccess::Read, StoreRecords::Load);
    if (!store) {
        return kExitFailure;
    }
    const std::optional<std::vector<int>> slots = SlotsToExport(world, invocation);
    if (!slots) {
        return kExitFailure;
    }
    if (slots->empty()) {
        world.Console().Note(store->entry.path + " has no used slots to export" +
                             (invocation.slotRange ? " among those asked for" : "") +
                             " (--all takes free ones too); nothing was written");
        return kExitSuccess;
    }
    Context& ctx = world.Ctx();
    const std::string folder = CompleteFolder(invocation.folder);
    const ExportPlan plan =
        PlanFolderExport(ctx.state.slotTable, *slots, folder,
                         invocation.namesId ? ExportNames::NumberAndId : ExportNames::Number,
                         invocation.force ? ExistingFiles::Replace : ExistingFiles::Refuse);
    if (plan.refusal) {
        world.Console().Note(*plan.refusal);
        return kExitFailure;
    }
    if (invocation.dryRun) {
        for (const auto& [slot, file] : plan.targets) {
            std::cout << "slot " << ThreeDigits(slot) << " ["
                      << TrimSpaces(ShownDiskId(world, slot)) << "] -> " << file << '\n';
        }
        world.Console().Note("dry run: nothing was written");
        return kExitSuccess;
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        world.Console().Note("cannot make the folder " + folder + ": " + ec.message() +
                             "; nothing was written");
        return kExitFailure;
    }
    world.Console().SetTransferBytes(kImageBytes * plan.targets.size());
    const SlotFilesExport run =
        ExportSlotsToFiles(ctx, store->entry, plan.targets, ctx.state.imageBuffer.Span());
    for (const auto& [slot, file] : plan.targets) {
        if (std::find(run.written.begin(), run.written.end(), slot) != run.written.end()) {
            std::cout << "slot " << ThreeDigits(slot) << " -> " << file << '\n';
        }
    }
    const bool described =
        run.written.empty() || WriteFolderDescriptions(world, folder, run.written);
    NotePartlyWritten(
        world, run.result,
        [&](int n) {
            const auto target = std::find_if(plan.targets.begin(), plan.targets.end(),
                                             [n](const SlotFile& t) { return t.slot == n; });
            return ActivityText(
                {.kind = ActivityKind::BackupSlot, .slot = n, .path = target->file});
        },
        std::to_string(run.written.size()) + " of " + std::to_string(plan.targets.size()) +
            " slots were written to " + folder + "; a file that was not finished keeps what " +
            "it held");
    return ExitCode(world, run.result.Complete() && described);
}

int RunImport(CliWorld& world, const Invocation& invocation) {
    const StoreAccess access = invocation.dryRun ? StoreAccess::Read : StoreAccess::Write;
    const std::optional<StoreTarget> store =
        OpenStore(world, invocation.store, StoreUse::Existing, access, StoreRecords::Load);
    if (!store) {
        return kExitFailure;
    }
    Context& ctx = world.Ctx();
    const std::string folder = CompleteFolder(invocation.folder);
    const ImportPlan plan = PlanFolderImport(ctx, ctx.state.SelectedStore(), folder);
    if (plan.refusal) {
        world.Console().Note(*plan.refusal);
    }
    if (plan.refusal || plan.failed) {
        return kExitFailure;
    }
    const int code = PutPlacements(world, invocation, *store, plan.placements);
    if (plan.descriptionsFile && (code == kExitSuccess || invocation.dryRun)) {
        std::cout << (invocation.dryRun ? "would restore " : "restored ")
                  << plan.descriptionsRestored << " descriptions from "
                  << InFolder(folder, kFolderDescriptionsName);
        if (plan.linesSkipped > 0) {
            std::cout << "; skipped " << plan.linesSkipped
                      << " lines without a slot number or an imported file";
        }
        std::cout << '\n';
    }
    return code;
}

}  // namespace quarnex::cli
