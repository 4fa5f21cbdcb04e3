#include <iostream>
#include <utility>

#include "cli/command_support.hpp"
#include "cli/commands.hpp"
#include "cli/image_stop_note.hpp"
#include "cli/read_back_note.hpp"
#include "commands/activity_text.hpp"
#include "commands/main_commands.hpp"
#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "store/descriptions.hpp"
#include "store/disk_ids.hpp"
#include "store/slot_transfer.hpp"
#include "store/write_mark.hpp"

namespace quarnex::cli {

int RunGet(CliWorld& world, const Invocation& invocation) {
    // Nothing is loaded: reading a slot needs neither the IDs nor the
    // descriptions file (loading that would create it where it is missing).
    const std::optional<StoreTarget> store = OpenStore(world, invocation.store, StoreUse::Existing,
                                                       StoreAccess::Read, StoreRecords::Skip);
    if (!store || RefuseStoreOverlap(world, store->entry.path, invocation.file) ||
        !ConfirmReplaceFile(world, invocation.file)) {
        return kExitFailure;
    }
    Context& ctx = world.Ctx();
    world.Console().SetTransferBytes(kImageBytes);
    if (!ImportFromSlot(ctx, ctx.state.SelectedStore(), invocation.slot,
                        ctx.state.imageBuffer.Span())
             .Complete() ||
        world.Console().Interrupted()) {
        return ExitCode(world, false);
    }
    const std::string& path = invocation.file;
    const ImageResult exported = ExportImageTo(ctx, ImageTransferRequest{.file = path});
    if (exported.outcome != Outcome::Complete) {
        NoteImageStopped(world, exported, path + " is incomplete");
        return ExitCode(world, false);
    }
    std::cout << "slot " << ThreeDigits(invocation.slot) << " -> " << path << '\n';
    // A copy of a slot that a stopped put left behind is not a disk to trust.
    if (HasWriteMark(std::as_const(ctx.state.imageBuffer).Span().first(kSectorBytes))) {
        world.Console().Note(UnfinishedSlotText(invocation.slot) + " " + path +
                             " holds what the slot holds, which may be damaged.");
        return ExitCode(world, false);
    }
    return ExitCode(world, true);
}

int RunPut(CliWorld& world, const Invocation& invocation) {
    const std::optional<StoreTarget> store = OpenStore(world, invocation.store, StoreUse::Existing,
                                                       StoreAccess::Write, StoreRecords::Load);
    if (!store) {
        return kExitFailure;
    }
    Context& ctx = world.Ctx();
    world.Console().SetTransferBytes(kImageBytes);
    const std::string& path = invocation.file;
    // The file is read (and checked) before anything on the store can change.
    const ImageResult read = ImportImageFrom(ctx, ImageTransferRequest{.file = path});
    if (read.outcome != Outcome::Complete || world.Console().Interrupted()) {
        return ExitCode(world, false);
    }
    if (!ConfirmReplaceDescriptions(world, *store) ||
        !world.Console().Confirm("write " + path + " into " +
                                 SlotName(world, *store, invocation.slot) +
                                 "? Its image and description are replaced.")) {
        return kExitFailure;
    }
    // The export saves the descriptions; the store is then reloaded so that
    // the new ID is the one shown.
    const OperationResult exported =
        ExportToSlot(ctx, ctx.state.SelectedStore(), invocation.slot, ctx.state.imageBuffer.Span(),
                     invocation.noVerify ? ReadBack::Off : ReadBack::On);
    const std::string slot = "slot " + ThreeDigits(invocation.slot);
    if (exported.outcome == Outcome::NotStarted) {
        world.Console().Note("nothing was written: " + slot + " of " + store->entry.path +
                             " keeps its image, description and source");
        return ExitCode(world, false);
    }
    const bool saved = !ctx.state.slotTable.descriptionsFile.saveFailed;
    LoadDiskIds(ctx, ctx.state.SelectedStore());
    LoadDescriptions(ctx, ctx.state.SelectedStore());
    if (NoteReadBackFailure(world, exported, store->entry.path)) {
        return ExitCode(world, false);
    }
    if (!exported.Complete()) {
        NotePartlyWritten(
            world, exported,
            [](int n) { return ActivityText({.kind = ActivityKind::ExportToSlot, .slot = n}); },
            slot + " of " + store->entry.path +
                " was not completely written: put an image into it again; its "
                "source is forgotten");
        return ExitCode(world, false);
    }
    if (!saved) {
        world.Console().Note(slot + " was written, but DISKS.TXT was not saved: the slot's " +
                             "description and source there are out of date");
        return ExitCode(world, false);
    }
    std::cout << path << " -> slot " << ThreeDigits(invocation.slot) << " ["
              << TrimSpaces(ShownDiskId(world, invocation.slot)) << "]\n";
    return ExitCode(world, true);
}

}  // namespace quarnex::cli
