#include <iostream>

#include "cli/command_support.hpp"
#include "cli/commands.hpp"
#include "cli/image_stop_note.hpp"
#include "commands/main_commands.hpp"
#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "fat12/volume_label.hpp"

namespace quarnex::cli {

namespace {

// shown names the file or drive for the user.
int ExportImageTo(CliWorld& world, const ImageTransferRequest& target, const std::string& shown) {
    const ImageResult exported = quarnex::ExportImageTo(world.Ctx(), target);
    if (exported.outcome != Outcome::Complete) {
        NoteImageStopped(world, exported, shown + " is incomplete");
        return ExitCode(world, false);
    }
    std::cout << "wrote " << shown << '\n';
    return ExitCode(world, true);
}

}  // namespace

int RunImageNew(CliWorld& world, const Invocation& invocation) {
    // As the floppy ID dialog's OK button: the first 11 characters, in capitals.
    const std::string id = ToUpperLabel(FirstCharacters(invocation.id, fat12::kLabelBytes));
    NoteCutId(world, "--id", invocation.id, fat12::kLabelBytes, "all a volume label holds",
              "the volume's label is \"" + id + "\"");
    if (!ConfirmReplaceFile(world, invocation.file)) {
        return kExitFailure;
    }
    if (FormatImageWithId(world.Ctx(), id) != Outcome::Complete) {
        return ExitCode(world, false);
    }
    return ExportImageTo(world, {.file = invocation.file}, invocation.file);
}

int RunImageZero(CliWorld& world, const Invocation& invocation) {
    if (!ConfirmReplaceFile(world, invocation.file)) {
        return kExitFailure;
    }
    ZeroImage(world.Ctx());
    return ExportImageTo(world, {.file = invocation.file}, invocation.file);
}

int RunFloppyRead(CliWorld& world, const Invocation& invocation) {
    if (!ConfirmReplaceFile(world, invocation.file)) {
        return kExitFailure;
    }
    world.Console().SetTransferBytes(kImageBytes);
    const ImageResult read =
        ImportImageFrom(world.Ctx(), {.drive = FloppyDriveOf(invocation.drive)});
    if (read.outcome != Outcome::Complete || world.Console().Interrupted()) {
        return ExitCode(world, false);
    }
    return ExportImageTo(world, {.file = invocation.file}, invocation.file);
}

int RunFloppyWrite(CliWorld& world, const Invocation& invocation) {
    world.Console().SetTransferBytes(kImageBytes);
    const std::string& path = invocation.file;
    const ImageResult read = ImportImageFrom(world.Ctx(), {.file = path});
    if (read.outcome != Outcome::Complete || world.Console().Interrupted()) {
        return ExitCode(world, false);
    }
    const std::string driveText = std::string(1, invocation.drive) + ":";
    if (!world.Console().Confirm("write " + path + " onto the floppy disk in drive " + driveText +
                                 "? Everything on the disk is replaced.")) {
        return kExitFailure;
    }
    return ExportImageTo(world, {.drive = FloppyDriveOf(invocation.drive)},
                         "the floppy disk in drive " + driveText);
}

}  // namespace quarnex::cli
