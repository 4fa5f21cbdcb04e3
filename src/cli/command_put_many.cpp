#include <iostream>

#include "cli/command_support.hpp"
#include "cli/commands.hpp"
#include "cli/put_placements.hpp"
#include "commands/activity_text.hpp"
#include "commands/put_images.hpp"
#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "store/slot_usage.hpp"

namespace quarnex::cli {

namespace {

// The slots the files go into, or nothing after saying why not.
std::optional<std::vector<int>> TargetSlots(CliWorld& world, const Invocation& invocation,
                                            const StoreTarget& store) {
    const std::size_t count = invocation.paths.size();
    Context& ctx = world.Ctx();
    if (!invocation.freeSlots) {
        std::optional<std::vector<int>> slots = ConsecutiveSlots(invocation.slot, count);
        if (!slots) {
            world.Console().Note(PastLastSlotText(invocation.slot, count));
        }
        return slots;
    }
    Result<std::vector<int>> free = FreeSlotsOf(ctx, ctx.state.SelectedStore(), count);
    if (!free) {
        return std::nullopt;
    }
    if (free.Value().size() < count) {
        world.Console().Note(store.entry.path + " has " + std::to_string(free.Value().size()) +
                             " free slots, not the " + std::to_string(count) +
                             " the files need; refused, nothing was written");
        return std::nullopt;
    }
    return std::move(free).Value();
}

// What a dry run prints: every file and its slot, and whether the slot
// holds something now.
int PrintPlan(CliWorld& world, const std::vector<ImagePlacement>& placements,
              const std::vector<int>& slots) {
    Context& ctx = world.Ctx();
    Result<std::vector<int>> used = UsedSlotsAmong(ctx, ctx.state.SelectedStore(), slots);
    if (!used) {
        return kExitFailure;
    }
    for (const auto& [file, slot, description] : placements) {
        const bool replaces =
            std::find(used.Value().begin(), used.Value().end(), slot) != used.Value().end();
        std::cout << file << " -> slot " << ThreeDigits(slot) << " ["
                  << TrimSpaces(ShownDiskId(world, slot)) << "]"
                  << (replaces ? " (replaces what it holds)" : "") << '\n';
    }
    world.Console().Note("dry run: nothing was written");
    return kExitSuccess;
}

}  // namespace

int RunPutMany(CliWorld& world, const Invocation& invocation) {
    Context& ctx = world.Ctx();
    const std::vector<std::string>& files = invocation.paths;
    // Every file is checked before the store is opened, let alone written.
    if (const std::optional<ImageFileProblem> problem = CheckImageFiles(ctx.devices, files)) {
        world.Console().Note(ImageFileProblemText(*problem, ctx.devices.ErrorText(problem->error)));
        return kExitFailure;
    }
    const StoreAccess access = invocation.dryRun ? StoreAccess::Read : StoreAccess::Write;
    const std::optional<StoreTarget> store =
        OpenStore(world, invocation.store, StoreUse::Existing, access, StoreRecords::Load);
    if (!store) {
        return kExitFailure;
    }
    const std::optional<std::vector<int>> slots = TargetSlots(world, invocation, *store);
    if (!slots) {
        return kExitFailure;
    }
    return PutPlacements(world, invocation, *store, PlaceImages(files, *slots));
}

int PutPlacements(CliWorld& world, const Invocation& invocation, const StoreTarget& store,
                  const std::vector<ImagePlacement>& placements) {
    Context& ctx = world.Ctx();
    std::vector<int> slots;
    for (const ImagePlacement& placement : placements) {
        slots.push_back(placement.slot);
    }
    if (invocation.dryRun) {
        return PrintPlan(world, placements, slots);
    }
    if (!ConfirmReplaceDescriptions(world, store) ||
        !world.Console().Confirm("write " + std::to_string(placements.size()) + " files into " +
                                 SlotListText(slots) + " of " + store.entry.path +
                                 "? Their images and descriptions are replaced.")) {
        return kExitFailure;
    }
    world.Console().SetTransferBytes(kImageBytes * placements.size());
    const BatchResult batch = PutImages(ctx, ctx.state.SelectedStore(), placements,
                                        invocation.noVerify ? ReadBack::Off : ReadBack::On);
    if (batch.refused) {
        // The files changed since they were checked.
        world.Console().Note(
            ImageFileProblemText(*batch.refused, ctx.devices.ErrorText(batch.refused->error)));
        return kExitFailure;
    }
    for (const auto& [file, slot, description] : placements) {
        if (batch.result.outcome == Outcome::Incomplete && slot == batch.result.unit) {
            break;
        }
        if (std::find(batch.written.begin(), batch.written.end(), slot) == batch.written.end()) {
            break;
        }
        std::cout << file << " -> slot " << ThreeDigits(slot) << " ["
                  << TrimSpaces(ShownDiskId(world, slot)) << "]\n";
    }
    if (batch.result.outcome == Outcome::NotStarted) {
        world.Console().Note("nothing was written: the slots of " + store.entry.path +
                             " keep their images, descriptions and sources");
        return ExitCode(world, false);
    }
    if (!batch.result.Complete()) {
        const bool touched = !batch.written.empty() && batch.written.back() == batch.result.unit;
        const std::string slot =
            "slot " + ThreeDigits(batch.result.unit) + " of " + store.entry.path;
        NotePartlyWritten(
            world, batch.result,
            [](int n) { return ActivityText({.kind = ActivityKind::ExportToSlot, .slot = n}); },
            touched ? slot + " was not completely written: put an image into it again; its " +
                          "source is forgotten"
                    : slot + " and the slots after it were not written");
    }
    if (ctx.state.slotTable.descriptionsFile.saveFailed) {
        world.Console().Note(SlotListText(batch.written) +
                             (batch.written.size() == 1 ? " was" : " were") +
                             " written, but DISKS.TXT was not saved: the descriptions " +
                             "and sources there are out of date");
        return ExitCode(world, false);
    }
    return ExitCode(world, batch.result.Complete());
}

}  // namespace quarnex::cli
