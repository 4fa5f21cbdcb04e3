#include <filesystem>
#include <fstream>
#include <iostream>

#include "cli/command_support.hpp"
#include "cli/commands.hpp"
#include "cli/read_back_note.hpp"
#include "commands/activity_text.hpp"
#include "commands/main_commands.hpp"
#include "core/media_sizes.hpp"
#include "fat12/volume_label.hpp"
#include "store/format_usb.hpp"

namespace quarnex::cli {

namespace fs = std::filesystem;

namespace {

// The IDs taken as the format dialog takes them.
OperationResult FormatAsArgumentsSay(CliWorld& world, const Invocation& invocation) {
    world.Console().SetTransferBytes(kStoreBytes);
    return FormatSelectedStore(
        world.Ctx(),
        FormatRequest{FormatDialogId(invocation.id), FormatDialogId(invocation.base),
                      !invocation.noNumber, invocation.noVerify ? ReadBack::Off : ReadBack::On});
}

// An empty file of a store's length, taking no space until written.
bool MakeSparseStoreFile(CliWorld& world, const std::string& path) {
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        if (!file) {
            world.Console().Note("cannot create " + path);
            return false;
        }
    }
    std::error_code ec;
    fs::resize_file(path, kStoreBytes, ec);
    if (ec) {
        world.Console().Note("cannot make " + path + " a store's length: " + ec.message());
        fs::remove(path, ec);
        return false;
    }
    return true;
}

// Before anything is asked or written: which IDs are cut, and to what.
void NoteCutIds(CliWorld& world, const Invocation& invocation) {
    constexpr const char* kWhole = "all a volume label holds";
    const std::string base = FormatDialogId(invocation.base);
    NoteCutId(world, "--id", invocation.id, fat12::kLabelBytes, kWhole,
              "the store's label is \"" + FormatLabel(0, FormatDialogId(invocation.id), "", false) +
                  "\"");
    if (invocation.noNumber) {
        NoteCutId(world, "--base", invocation.base, fat12::kLabelBytes, kWhole,
                  "the slots' label is \"" + FormatLabel(1, "", base, false) + "\"");
    } else {
        NoteCutId(world, "--base", invocation.base, kNumberedBaseChars,
                  "which leave room for the slot number",
                  "the slots' labels are \"" + FormatLabel(1, "", base, true) + "\" to \"" +
                      FormatLabel(kSlotCount - 1, "", base, true) + "\"");
    }
}

}  // namespace

int RunFormat(CliWorld& world, const Invocation& invocation) {
    const std::optional<StoreTarget> store = OpenStore(world, invocation.store, StoreUse::Overwrite,
                                                       StoreAccess::Write, StoreRecords::Skip);
    if (!store) {
        return kExitFailure;
    }
    NoteCutIds(world, invocation);
    const std::string what = store->looksLikeStore
                                 ? "format the store " + store->entry.path +
                                       "? Every image and description on it is destroyed."
                                 : store->entry.path +
                                       " does not hold a store. Format it as one? Everything on it "
                                       "is destroyed.";
    if (!world.Console().Confirm(what)) {
        return kExitFailure;
    }
    const OperationResult result = FormatAsArgumentsSay(world, invocation);
    if (NoteReadBackFailure(world, result, store->entry.path)) {
        return ExitCode(world, false);
    }
    if (!result.Complete()) {
        NotePartlyWritten(
            world, result,
            [&](int slot) {
                return ActivityText(
                    {.kind = ActivityKind::FormatSlot, .slot = slot, .device = store->entry.name});
            },
            store->entry.path + " is partly formatted: the slots up to there and slot 000");
        return ExitCode(world, false);
    }
    std::cout << "formatted " << store->entry.path << '\n';
    return ExitCode(world, true);
}

int RunCreate(CliWorld& world, const Invocation& invocation) {
    const std::string& path = invocation.file;
    std::error_code ec;
    if (fs::exists(path, ec) && !fs::is_regular_file(path, ec)) {
        world.Console().Note(path +
                             " exists and is not a regular file; refused (format formats devices)");
        return kExitFailure;
    }
    NoteCutIds(world, invocation);
    if (!ConfirmReplaceFile(world, path) || !MakeSparseStoreFile(world, path)) {
        return kExitFailure;
    }
    const std::optional<StoreTarget> store =
        OpenStore(world, path, StoreUse::Overwrite, StoreAccess::Write, StoreRecords::Skip);
    if (!store || !FormatAsArgumentsSay(world, invocation).Complete() ||
        world.Console().Interrupted()) {
        // A half-made store file is of no use to anyone.
        fs::remove(path, ec);
        world.Console().Note(path + " removed");
        return ExitCode(world, false);
    }
    std::cout << "created " << store->entry.path << '\n';
    return ExitCode(world, true);
}

}  // namespace quarnex::cli
