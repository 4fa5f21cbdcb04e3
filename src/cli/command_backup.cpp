#include <iostream>

#include "cli/command_support.hpp"
#include "cli/commands.hpp"
#include "cli/read_back_note.hpp"
#include "commands/activity_text.hpp"
#include "commands/main_commands.hpp"
#include "core/media_sizes.hpp"
#include "store/store_file_copy.hpp"
#include "store/store_paths.hpp"

namespace quarnex::cli {

int RunBackup(CliWorld& world, const Invocation& invocation) {
    const std::optional<StoreTarget> store = OpenStore(world, invocation.store, StoreUse::Existing,
                                                       StoreAccess::Read, StoreRecords::Load);
    const std::string companion = DescriptionsOutputName(invocation.file);
    if (!store || RefuseStoreOverlap(world, store->entry.path, invocation.file) ||
        !ConfirmReplaceFiles(world, {invocation.file, companion})) {
        return kExitFailure;
    }
    world.Console().SetTransferBytes(kStoreBytes);
    std::string path = invocation.file;
    const bool replacing = world.Ctx().devices.FileExists(path);
    const BackupResult result = BackupSelectedStore(world.Ctx(), path);
    const std::string companionState =
        companion + (result.descriptionsWritten ? " was written" : " was not written");
    if (!result.copy.Complete()) {
        NotePartlyWritten(
            world, result.copy,
            [&](int slot) {
                return ActivityText({.kind = ActivityKind::BackupSlot, .slot = slot, .path = path});
            },
            replacing ? path + " and " + companion + " are as they were before"
                      : path + " was not written");
        return ExitCode(world, false);
    }
    if (!result.descriptionsWritten) {
        // The copy itself is whole; only its descriptions are missing.
        world.Console().Note(path + " was written; " + companionState);
        return ExitCode(world, false);
    }
    std::cout << store->entry.path << " -> " << path
              << " (descriptions: " << DescriptionsOutputName(path) << ")\n";
    return ExitCode(world, true);
}

int RunRestore(CliWorld& world, const Invocation& invocation) {
    const std::optional<StoreTarget> store = OpenStore(world, invocation.store, StoreUse::Overwrite,
                                                       StoreAccess::Write, StoreRecords::Skip);
    if (!store || RefuseStoreOverlap(world, store->entry.path, invocation.file)) {
        return kExitFailure;
    }
    Context& ctx = world.Ctx();
    std::string path = invocation.file;
    // A file that the copy will refuse is refused before anyone is asked.
    const LengthResult length = ctx.devices.FileLength(path);
    const bool plausible = length.length && *length.length == kStoreBytes;
    if (plausible && !world.Console().Confirm("write " + path + " onto " + store->entry.path +
                                              "? Everything on it is replaced.")) {
        return kExitFailure;
    }
    world.Console().SetTransferBytes(kStoreBytes);
    const OperationResult result =
        RestoreSelectedStore(ctx, path, invocation.noVerify ? ReadBack::Off : ReadBack::On);
    if (NoteReadBackFailure(world, result, store->entry.path)) {
        return ExitCode(world, false);
    }
    if (!result.Complete()) {
        NotePartlyWritten(
            world, result,
            [&](int slot) {
                return ActivityText(
                    {.kind = ActivityKind::RestoreSlot, .slot = slot, .path = path});
            },
            store->entry.path + " now holds the file's first slots and its own later ones");
        return ExitCode(world, false);
    }
    std::cout << path << " -> " << store->entry.path << '\n';
    return ExitCode(world, true);
}

}  // namespace quarnex::cli
