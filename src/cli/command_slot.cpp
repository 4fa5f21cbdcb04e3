#include <iostream>

#include "cli/command_support.hpp"
#include "cli/commands.hpp"
#include "frame/layout.hpp"
#include "frame/text.hpp"
#include "image/image_export.hpp"
#include "image/image_import.hpp"
#include "store/descriptions.hpp"
#include "store/slot_transfer.hpp"
#include "store/store_paths.hpp"

namespace quarnex::cli {

namespace {

std::string SlotName(CliWorld& world, const StoreTarget& store, int slot) {
    return "slot " + ThreeDigits(slot) + " [" + TrimSpaces(ShownDiskId(world, slot)) + "] of " +
           store.entry.DevicePath;
}

}  // namespace

int RunGet(CliWorld& world, const Invocation& invocation) {
    // Nothing is loaded: reading a slot needs neither the IDs nor the
    // descriptions file (loading that would create it where it is missing).
    const std::optional<StoreTarget> store =
        OpenStore(world, invocation.store, StoreUse::Existing, false);
    if (!store || RefuseSameFile(world, store->entry.DevicePath, invocation.file) ||
        !ConfirmReplaceFile(world, invocation.file)) {
        return kExitFailure;
    }
    Context& ctx = world.Ctx();
    world.Console().SetTransferBytes(kImageBytes);
    if (!ImportFromSlot(ctx, invocation.slot) || world.Console().Interrupted()) {
        return ExitCode(world, false);
    }
    std::string path = invocation.file;
    if (!fntExportToFlpyImag(ctx, path)) {
        return ExitCode(world, false);
    }
    std::cout << "slot " << ThreeDigits(invocation.slot) << " -> " << path << '\n';
    return ExitCode(world, true);
}

int RunPut(CliWorld& world, const Invocation& invocation) {
    const std::optional<StoreTarget> store =
        OpenStore(world, invocation.store, StoreUse::Existing, true);
    if (!store) {
        return kExitFailure;
    }
    Context& ctx = world.Ctx();
    world.Console().SetTransferBytes(kImageBytes);
    std::string path = invocation.file;
    // The file is read (and checked) before anything on the store can change.
    if (!fntImportFromFlpyImag(ctx, path) || world.Console().Interrupted()) {
        return ExitCode(world, false);
    }
    if (!world.Console().Confirm("write " + path + " into " +
                                 SlotName(world, *store, invocation.slot) +
                                 "? Its image and description are replaced.")) {
        return kExitFailure;
    }
    if (!ExportToSlotCommand(ctx, invocation.slot)) {
        return ExitCode(world, false);
    }
    std::cout << path << " -> slot " << ThreeDigits(invocation.slot) << " ["
              << TrimSpaces(ShownDiskId(world, invocation.slot)) << "]\n";
    return ExitCode(world, true);
}

int RunDescribe(CliWorld& world, const Invocation& invocation) {
    const std::optional<StoreTarget> store =
        OpenStore(world, invocation.store, StoreUse::Existing, true);
    if (!store) {
        return kExitFailure;
    }
    Context& ctx = world.Ctx();
    const int slot = invocation.slot;
    const std::string text = DescriptionFromArgument(invocation.text);
    GridModel& grid = ctx.state.window.grid;
    if (grid.Cell(slot, 2) == text) {
        // As in the grid editor, an unchanged description writes nothing.
        world.Console().Note("the description of slot " + ThreeDigits(slot) + " is unchanged");
        return ExitCode(world, true);
    }
    if (!world.Console().Confirm("change the description of " + SlotName(world, *store, slot) +
                                 "?")) {
        return kExitFailure;
    }
    grid.SetCell(slot, 2, text);
    grid.SetRowHeight(slot, static_cast<int>(grid.DescriptionRowHeight(text)));
    ctx.state.DiskDescriptions.at(static_cast<std::size_t>(slot)) = text;
    return ExitCode(world, sbrSaveDescriptions(ctx, StoreDescriptionsName(ctx)));
}

}  // namespace quarnex::cli
