#include <CLI/CLI.hpp>

#include "cli/argument_parts.hpp"

namespace quarnex::cli {

namespace {

CLI::Validator VolumeSlot() {
    return CLI::Validator(
        [](const std::string& text) {
            if (ParseVolumeSlot(text)) {
                return std::string();
            }
            return "'" + text + "' is not a slot number: decimal digits only, 0..999";
        },
        "0..999");
}

// files ls|get|put|rm|mkdir TARGET [--slot N] ...
CLI::App* AddFilesCommand(CLI::App& files, const char* name, const char* description,
                          Command command, Invocation& invocation) {
    CLI::App* sub = AddCommand(files, name, description, command, invocation);
    sub->add_option("TARGET", invocation.store, "Store, or a floppy image file")
        ->required()
        ->check(NotEmpty());
    sub->add_option_function<std::string>(
           "--slot",
           [&invocation](const std::string& text) {
               invocation.volumeSlot = ParseVolumeSlot(text);
           },
           "Slot of the store TARGET, 0..999 (0: the store's own volume)")
        ->check(VolumeSlot());
    return sub;
}

}  // namespace

void AddFilesCommands(CLI::App& app, Invocation& invocation) {
    CLI::App* files = app.add_subcommand(
        "files", "Files inside a slot's volume or a floppy image file: ls, get, put, rm, mkdir");
    files->require_subcommand(1);
    CLI::App* ls = AddFilesCommand(*files, "ls", "List a folder: names, sizes, times, attributes",
                                   Command::FilesList, invocation);
    ls->add_option("PATH", invocation.folder, "Folder in the volume (default: the root)");
    ls->add_flag("--json", invocation.json, "One JSON document instead of text");
    CLI::App* get = AddFilesCommand(*files, "get", "Copy a file out of the volume",
                                    Command::FilesGet, invocation);
    get->add_option("PATH", invocation.folder, "File in the volume")->required()->check(NotEmpty());
    get->add_option("DEST", invocation.destination, "File to write, or an existing folder")
        ->required()
        ->check(NotEmpty());
    CLI::App* put =
        AddFilesCommand(*files, "put", "Copy files into the volume", Command::FilesPut, invocation);
    put->add_option("FILE", invocation.paths, "Files to copy in")->required()->check(NotEmpty());
    put->add_option("--to", invocation.destination, "Folder in the volume (default: the root)");
    put->add_flag("--keep-time", invocation.keepTime,
                  "Keep each file's modification time (default: the time of the copy)");
    AddNoVerify(*put, invocation);
    put->add_option("--name", invocation.name,
                    "Name in the volume of the one FILE, which is then read to its end even "
                    "when it is no regular file (a pipe, a /proc file)")
        ->type_name("NAME");
    CLI::App* rm = AddFilesCommand(*files, "rm", "Remove files and empty folders",
                                   Command::FilesRemove, invocation);
    rm->add_option("PATH", invocation.paths, "Files or empty folders in the volume")
        ->required()
        ->check(NotEmpty());
    CLI::App* mkdir =
        AddFilesCommand(*files, "mkdir", "Make a folder", Command::FilesMakeFolder, invocation);
    mkdir->add_option("PATH", invocation.folder, "Folder to make")->required()->check(NotEmpty());
    mkdir->add_flag("-p,--parents", invocation.parents,
                    "Make missing parent folders too; no error when the folder exists");
}

}  // namespace quarnex::cli
