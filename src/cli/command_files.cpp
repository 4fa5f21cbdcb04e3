#include <algorithm>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/command_support.hpp"
#include "cli/commands.hpp"
#include "cli/terminal_text.hpp"
#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "store/volume_files.hpp"

namespace quarnex::cli {

namespace {

namespace fs = std::filesystem;

struct OpenedTarget {
    std::optional<VolumeTarget> target;
    int exitCode = kExitFailure;  // when there is no target
    std::string shown;            // "slot 007 of /dev/sdb", or the image file
};

// A store with --slot, otherwise a floppy image file; locked for the run.
OpenedTarget OpenTarget(CliWorld& world, const Invocation& invocation, bool write) {
    OpenedTarget opened;
    const StoreAccess access = write ? StoreAccess::Write : StoreAccess::Read;
    if (invocation.volumeSlot) {
        const std::optional<StoreTarget> store =
            OpenStore(world, invocation.store, StoreUse::Existing, access, StoreRecords::Skip);
        if (store) {
            opened.target = VolumeTarget{store->entry.path, invocation.volumeSlot};
            opened.shown =
                "slot " + ThreeDigits(*invocation.volumeSlot) + " of " + store->entry.path;
        }
        return opened;
    }
    std::error_code ec;
    const fs::file_status status = fs::status(invocation.store, ec);
    if (ec || !fs::exists(status)) {
        world.Console().Note(invocation.store + ": no such file");
        return opened;
    }
    const std::uint64_t size =
        fs::is_regular_file(status) ? fs::file_size(invocation.store, ec) : 0;
    if (fs::is_block_file(status) || size == kStoreBytes) {
        world.Console().Note(invocation.store + " is a store: name a slot with --slot N (0..999)");
        opened.exitCode = kExitUsage;
        return opened;
    }
    if (!fs::is_regular_file(status)) {
        world.Console().Note(invocation.store + " is not a floppy image file");
        return opened;
    }
    if (LockForRun(world, invocation.store, access)) {
        opened.target = VolumeTarget{invocation.store, std::nullopt};
        opened.shown = invocation.store;
    }
    return opened;
}

// Says why the operation failed; always the failure exit code.
int Report(CliWorld& world, const FilesResult& result, const OpenedTarget& opened, bool change) {
    const std::string unchanged = change ? "; nothing was changed" : "";
    const std::string reason = world.Ctx().devices.ErrorText(result.error);
    switch (result.failure) {
        case FilesFailure::None:
            break;
        case FilesFailure::Open:
            // A change opens the target for writing: say which way it failed.
            world.Console().Note((change ? "cannot open " + result.name + " for writing: "
                                         : "cannot read " + result.name + ": ") +
                                 reason + unchanged);
            break;
        case FilesFailure::TooLarge:
            world.Console().Note(result.name + " is larger than a 2.88 MB floppy, so it is not " +
                                 "taken for a floppy image" + unchanged);
            break;
        case FilesFailure::Mounted:
            world.Console().Note(opened.shown + " is mounted at " + result.name +
                                 "; change its files there" + unchanged);
            break;
        case FilesFailure::Volume: {
            const std::string where =
                result.name.empty() ? opened.shown : TerminalText(result.name);
            std::string text = TerminalText(fat12::StatusText(result.status, result.detail));
            if (change) {
                text.back() = ';';
                text += " nothing was changed.";
            }
            world.Console().Note(where + ": " + text);
            break;
        }
        case FilesFailure::Source:
            world.Console().Note("cannot read " + result.name + ": " + reason + unchanged);
            break;
        case FilesFailure::NotAFile:
            world.Console().Note(result.name +
                                 " is not a regular file (a pipe, device, folder or /proc " +
                                 "file), so it is not copied; copy it into a file first, or " +
                                 "read it to its end with --name NAME" + unchanged);
            break;
        case FilesFailure::TooBig:
            world.Console().Note(result.name + " is larger than a 2.88 MB floppy can hold" +
                                 unchanged);
            break;
        case FilesFailure::Target:
            world.Console().Note("cannot write " + result.name + ": " +
                                 (result.detail.empty() ? reason + "; nothing was written."
                                                        : result.detail + " Nothing was written."));
            break;
        case FilesFailure::Write:
            world.Console().Note("writing " + opened.shown + " failed: " + reason +
                                 "; each file there is either as it was or complete");
            break;
        case FilesFailure::ReadBack:
            world.Console().Note(
                opened.shown + " was written, but does not read back as written (" +
                (result.detail.empty() ? reason : "its byte " + result.detail + " differs") +
                "): the medium may lose or misplace writes; do not trust it");
            break;
    }
    return kExitFailure;
}

std::string DateText(std::uint16_t date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", 1980 + (date >> 9), (date >> 5) & 15,
                  date & 31);
    return text;
}

std::string TimeText(std::uint16_t time) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", time >> 11, (time >> 5) & 63,
                  (time & 31) * 2);
    return text;
}

// "RHSA" with a "-" for every attribute that is not set.
std::string AttributeText(std::byte attributes) {
    std::string text;
    const char* letters = "RHSA";
    const std::byte bits[] = {fat12::kAttrReadOnly, fat12::kAttrHidden, fat12::kAttrSystem,
                              fat12::kAttrArchive};
    for (int i = 0; i < 4; ++i) {
        text += (attributes & bits[i]) != std::byte{0} ? letters[i] : '-';
    }
    return text;
}

void PrintListing(const FolderListing& listing, bool json) {
    nlohmann::ordered_json entries = nlohmann::ordered_json::array();
    for (const fat12::DirectoryItem& item : listing.items) {
        if (fat12::IsDotItem(item)) {
            continue;
        }
        const std::string modified =
            DateText(item.modified.date) + " " + TimeText(item.modified.time);
        if (json) {
            entries.push_back(
                {{"name", item.name},
                 {"short_name", item.shortName},
                 {"folder", item.directory},
                 {"size", item.size},
                 {"modified", modified},
                 {"created", DateText(item.created.date) + " " + TimeText(item.created.time)},
                 {"attributes", AttributeText(item.attributes)}});
            continue;
        }
        const std::string size =
            item.directory ? "<DIR>" : FormatThousands(static_cast<std::int64_t>(item.size));
        std::string line = modified + "  " + AttributeText(item.attributes) + "  ";
        line += std::string(size.size() < 13 ? 13 - size.size() : 0, ' ') + size + "  ";
        // Folders are marked right after the name the line ends with.
        const std::string mark = item.directory ? "/" : "";
        if (item.name != item.shortName) {
            line += item.shortName +
                    std::string(12 - std::min<std::size_t>(12, item.shortName.size()), ' ') + "  " +
                    item.name + mark;
        } else {
            line += item.shortName + mark;
        }
        std::cout << TerminalText(line) << '\n';
    }
    if (json) {
        std::cout << nlohmann::ordered_json{{"entries", entries}, {"free_bytes", listing.freeBytes}}
                         .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                  << '\n';
    } else {
        std::cout << FormatThousands(static_cast<std::int64_t>(listing.freeBytes))
                  << " bytes free\n";
    }
}

int RunList(CliWorld& world, const Invocation& invocation, const OpenedTarget& opened) {
    const FolderListing listing = ListVolumeFolder(world.Ctx(), *opened.target, invocation.folder);
    if (!listing.result.Ok()) {
        return Report(world, listing.result, opened, false);
    }
    PrintListing(listing, invocation.json);
    return ExitCode(world, true);
}

int RunGet(CliWorld& world, const Invocation& invocation, const OpenedTarget& opened) {
    std::string destination = invocation.destination;
    std::error_code ec;
    if (fs::is_directory(destination, ec)) {
        destination = (fs::path(destination) / fs::path(invocation.folder).filename()).string();
    }
    if (RefuseStoreOverlap(world, opened.target->path, destination) ||
        !ConfirmReplaceFile(world, destination)) {
        return kExitFailure;
    }
    const FilesResult result =
        CopyFileOut(world.Ctx(), *opened.target, invocation.folder, destination);
    if (!result.Ok()) {
        return Report(world, result, opened, false);
    }
    std::cout << TerminalText(invocation.folder) << " -> " << destination << '\n';
    return ExitCode(world, true);
}

int RunPut(CliWorld& world, const Invocation& invocation, const OpenedTarget& opened) {
    PutRequest request{invocation.paths, invocation.destination, false, invocation.keepTime,
                       invocation.name};
    request.readBack = invocation.noVerify ? ReadBack::Off : ReadBack::On;
    FilesResult result = PutFiles(world.Ctx(), *opened.target, request);
    if (result.failure == FilesFailure::None && !result.existing.empty()) {
        std::string names;
        for (const std::string& name : result.existing) {
            names += (names.empty() ? "" : ", ") + TerminalText(name);
        }
        if (!world.Console().Confirm("replace " + names + " in " + opened.shown + "?")) {
            return kExitFailure;
        }
        request.replace = true;
        result = PutFiles(world.Ctx(), *opened.target, request);
    }
    if (!result.Ok()) {
        return Report(world, result, opened, result.failure != FilesFailure::Write);
    }
    for (std::size_t i = 0; i < invocation.paths.size(); ++i) {
        std::cout << invocation.paths[i] << " -> " << TerminalText(PutPath(request, i)) << '\n';
    }
    return ExitCode(world, true);
}

}  // namespace

int RunFiles(CliWorld& world, const Invocation& invocation) {
    const Command command = invocation.command;
    if (!invocation.name.empty() &&
        (invocation.paths.size() != 1 || invocation.name.find('/') != std::string::npos)) {
        world.Console().Note("--name names one FILE in the folder --to gives, without \"/\"");
        return kExitUsage;
    }
    const bool write = command == Command::FilesPut || command == Command::FilesRemove ||
                       command == Command::FilesMakeFolder;
    const OpenedTarget opened = OpenTarget(world, invocation, write);
    if (!opened.target) {
        return opened.exitCode;
    }
    if (command == Command::FilesList) {
        return RunList(world, invocation, opened);
    }
    if (command == Command::FilesGet) {
        return RunGet(world, invocation, opened);
    }
    if (command == Command::FilesPut) {
        return RunPut(world, invocation, opened);
    }
    if (command == Command::FilesMakeFolder) {
        const FilesResult result =
            MakeVolumeFolder(world.Ctx(), *opened.target, invocation.folder,
                             invocation.parents ? ParentFolders::Made : ParentFolders::MustExist);
        if (!result.Ok()) {
            return Report(world, result, opened, result.failure != FilesFailure::Write);
        }
        std::cout << "made folder " << TerminalText(invocation.folder) << '\n';
        return ExitCode(world, true);
    }
    const FilesResult result = RemoveFiles(world.Ctx(), *opened.target, invocation.paths);
    if (!result.Ok()) {
        return Report(world, result, opened, result.failure != FilesFailure::Write);
    }
    for (const std::string& path : invocation.paths) {
        std::cout << "removed " << TerminalText(path) << '\n';
    }
    return ExitCode(world, true);
}

}  // namespace quarnex::cli
