#include "cli/command_support.hpp"

#include <filesystem>

#include "cli/arguments.hpp"
#include "cli/terminal_text.hpp"
#include "core/text.hpp"
#include "state/output_guard.hpp"
#include "state/store_lock.hpp"
#include "store/descriptions.hpp"
#include "store/disk_ids.hpp"
#include "store/write_mark.hpp"

namespace quarnex::cli {

std::optional<StoreTarget> OpenStore(CliWorld& world, const std::string& argument, StoreUse use,
                                     StoreAccess access, StoreRecords records) {
    Context& ctx = world.Ctx();
    std::optional<StoreTarget> target = ResolveStore(ctx, argument, use);
    if (!target) {
        return std::nullopt;
    }
    // Held for the rest of the run, so that a read-modify-write of the
    // descriptions never interleaves with another program's.
    if (!LockForRun(world, target->entry.path, access)) {
        return std::nullopt;
    }
    SelectStore(ctx, *target);
    if (records == StoreRecords::Load) {
        if (LoadDiskIds(ctx, ctx.state.SelectedStore()) != Outcome::Complete) {
            world.Console().Note("the Disk IDs of " + target->entry.path + " could not be read");
            return std::nullopt;
        }
        if (ctx.state.slotTable.writeUnfinished) {
            world.Console().Note(UnfinishedWriteText(target->entry.path));
        }
        if (const std::string slots = UnfinishedSlotsText(ctx.state.slotTable, "\n");
            !slots.empty()) {
            world.Console().Note(slots);
        }
        // Looking at a store must not change it: a missing DISKS.TXT is not
        // created here (an export or a description written later saves one).
        ReadDescriptions(ctx, ctx.state.SelectedStore());
        NoteDescriptionsRead(world, *target);
    }
    return target;
}

bool LockForRun(CliWorld& world, const std::string& path, StoreAccess access) {
    ConsoleUi& console = world.Console();
    std::unique_ptr<StoreLock> lock = LockStore(
        world.Ctx(), path, access == StoreAccess::Write ? LockKind::Exclusive : LockKind::Shared,
        LockWait{[&console](const std::string& line) { console.Note(line); },
                 [&console] {
                     console.PumpEvents();
                     return console.Interrupted();
                 }});
    if (!lock) {
        return false;
    }
    world.HoldStoreLock(std::move(lock));
    return true;
}

bool NoteDescriptionsRead(CliWorld& world, const StoreTarget& store) {
    const std::vector<std::string>& problems = world.State().slotTable.descriptionsFile.problems;
    if (problems.empty()) {
        return true;
    }
    std::string text = "DISKS.TXT of " + store.entry.path + " could not be read in full:";
    for (const std::string& problem : problems) {
        text += "\n  " + TerminalText(problem);
    }
    world.Console().Note(text);
    return false;
}

bool ConfirmReplaceDescriptions(CliWorld& world, const StoreTarget& store) {
    DescriptionsFileState& file = world.State().slotTable.descriptionsFile;
    const std::string name = "DISKS.TXT of " + store.entry.path;
    if (file.folder) {
        world.Console().Note(name + " is a folder, so no description can be saved there; refused");
        return false;
    }
    if (file.problems.empty()) {
        return true;
    }
    if (!world.Console().Confirm("replace " + name +
                                 ", which could not be read in full? What could not be read "
                                 "in it is lost.")) {
        return false;
    }
    if (world.Console().AssumesYes()) {
        world.Console().Note(name + " could not be read in full and will be replaced (--yes)");
    }
    file.replaceConfirmed = true;
    return true;
}

bool RefuseStoreOverlap(CliWorld& world, const std::string& storePath, const std::string& path) {
    const StoreOverlap overlap = world.Ctx().devices.Overlap(path, storePath);
    if (overlap == StoreOverlap::None) {
        return false;
    }
    world.Console().Note(path + " " + OverlapWords(overlap) + "; refused");
    return true;
}

bool ConfirmReplaceFile(CliWorld& world, const std::string& path) {
    return ConfirmReplaceFiles(world, {path});
}

bool ConfirmReplaceFiles(CliWorld& world, const std::vector<std::string>& paths) {
    std::string existing;
    int count = 0;
    for (const std::string& path : paths) {
        // Refused before anyone is asked: a pipe would even block the open.
        if (const std::string problem = OutputProblem(world.Ctx(), path, 0); !problem.empty()) {
            world.Console().Note("cannot write " + path + ": " + problem + " Nothing was written.");
            return false;
        }
        std::error_code ec;
        if (std::filesystem::exists(path, ec)) {
            existing += (count == 0 ? "" : " and ") + path;
            ++count;
        }
    }
    if (count == 0) {
        return true;
    }
    return world.Console().Confirm(
        std::string(count == 1 ? "replace the existing file " : "replace the existing files ") +
        existing + "?");
}

void NotePartlyWritten(CliWorld& world, const OperationResult& result,
                       const std::function<std::string(int unit)>& actionAt,
                       const std::string& what) {
    if (result.outcome == Outcome::Incomplete) {
        world.Console().Note(what + " (stopped at: " + TrimSpaces(actionAt(result.unit)) + ")");
    }
}

std::string ShownDiskId(CliWorld& world, int slot) {
    return ShownId(world.Ctx().state.slotTable.Slot(slot));
}

std::string SlotName(CliWorld& world, const StoreTarget& store, int slot) {
    return "slot " + ThreeDigits(slot) + " [" + TrimSpaces(ShownDiskId(world, slot)) + "] of " +
           store.entry.path;
}

void NoteCutId(CliWorld& world, const std::string& option, const std::string& typed,
               std::size_t limit, const std::string& why, const std::string& what) {
    if (FirstCharacters(typed, limit) != typed) {
        world.Console().Note(option + " \"" + TerminalText(typed) + "\" is cut to " +
                             std::to_string(limit) + " characters, " + why + ": " + what);
    }
}

std::string DescriptionFromArgument(const std::string& text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            result += kCrLf;
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

int ExitCode(CliWorld& world, bool succeeded) {
    if (world.Console().Interrupted()) {
        world.Console().Note("cancelled");
        return kExitFailure;
    }
    return succeeded ? kExitSuccess : kExitFailure;
}

}  // namespace quarnex::cli
