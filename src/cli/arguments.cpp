#include "cli/arguments.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "cli/argument_parts.hpp"
#include "cli/terminal_text.hpp"
#include "fat12/volume_label.hpp"

namespace quarnex::cli {

CLI::Validator NotEmpty() {
    return CLI::Validator(
        [](const std::string& text) {
            return text.empty() ? std::string("an empty path is not a file") : std::string();
        },
        "PATH");
}

void AddNoVerify(CLI::App& command, Invocation& invocation) {
    command.add_flag("--no-verify", invocation.noVerify,
                     "Do not read back and compare what was written");
}

CLI::App* AddCommand(CLI::App& app, const char* name, const char* description, Command command,
                     Invocation& invocation) {
    CLI::App* sub = app.add_subcommand(name, description);
    sub->callback([&invocation, command] { invocation.command = command; });
    return sub;
}

namespace {

constexpr const char* kFooter =
    "or a whole-store image file\n"
    "of 1,572,864,000 bytes. SLOT is 1..999. Every command takes -y/--yes, which answers its\n"
    "confirmation with yes. The TARGET of files is a store with --slot N (0..999; slot 0 is\n"
    "the store's own volume) or a floppy image file.\n"
    "Exit codes: 0 success, 1 the operation failed or was refused, 2 wrong usage.";

constexpr const char* kStoreIdHelp =
    "Store ID: up to 11 printable ASCII characters, longer ones are cut";
constexpr const char* kBaseIdHelp =
    "Base ID of the slots: up to 8 printable ASCII characters (11 with --no-number), longer "
    "ones are cut";

// Slot numbers are read as the listing prints them: decimal, leading zeros
// allowed ("010" is slot 10, never 8). The parser's own integer reading would
// take C prefixes (octal, 0x) and reach another slot.
CLI::Validator DecimalSlot() {
    return CLI::Validator(
        [](const std::string& text) {
            const std::optional<int> slot = ParseSlotNumber(text);
            if (slot) {
                return std::string();
            }
            return "'" + text + "' is not a slot number: decimal digits only, 1..999";
        },
        "1..999");
}

// IDs become volume labels, which the listings read back only when they are
// printable ASCII: anything else would come back as an empty label.
CLI::Validator VolumeId() {
    return CLI::Validator(
        [](const std::string& text) {
            const std::string refused = fat12::CharactersNoLabelHolds(text);
            if (refused.empty()) {
                return std::string();
            }
            return "a volume label cannot hold \"" + TerminalText(refused) +
                   "\": use ASCII letters, digits, spaces and punctuation";
        },
        "ID");
}

void AddSlot(CLI::App& command, Invocation& invocation) {
    command
        .add_option_function<std::string>(
            "SLOT",
            [&invocation](const std::string& text) { invocation.slot = *ParseSlotNumber(text); },
            "Slot number, 1..999")
        ->required()
        ->check(DecimalSlot());
}

// put STORE SLOT FILE... or put STORE --free FILE...: with --free the first
// word after STORE is a file, so SLOT is read only once the words are known.
void AddPut(CLI::App& app, Invocation& invocation) {
    CLI::App* put = app.add_subcommand(
        "put", "Write 1.44 MB image files into a slot and the ones after it, or into free slots");
    auto slotText = std::make_shared<std::string>();
    put->add_option("STORE", invocation.store, "Store")->required()->check(NotEmpty());
    put->add_option("SLOT", *slotText, "Slot number, 1..999, for the first FILE (not with --free)")
        ->required();
    put->add_option("FILE", invocation.paths, "Image files of 1,474,560 bytes, in slot order")
        ->check(NotEmpty());
    put->add_flag("--free", invocation.freeSlots, "Put the files into free slots, in slot order");
    put->add_flag("--dry-run", invocation.dryRun,
                  "Say which file would go into which slot; write nothing");
    AddNoVerify(*put, invocation);
    put->callback([&invocation, slotText] {
        if (invocation.freeSlots) {
            invocation.paths.insert(invocation.paths.begin(), *slotText);
            if (slotText->empty()) {
                throw CLI::ValidationError("FILE", "an empty path is not a file");
            }
        } else if (const std::optional<int> slot = ParseSlotNumber(*slotText)) {
            invocation.slot = *slot;
        } else {
            throw CLI::ValidationError(
                "SLOT", "'" + *slotText + "' is not a slot number: decimal digits only, 1..999");
        }
        if (invocation.paths.empty()) {
            throw CLI::RequiredError("FILE");
        }
        const bool one = invocation.paths.size() == 1 && !invocation.freeSlots;
        invocation.command = one && !invocation.dryRun ? Command::Put : Command::PutMany;
        if (invocation.command == Command::Put) {
            invocation.file = invocation.paths.front();
            invocation.paths.clear();
        }
    });
}

void AddFloppyDrive(CLI::App& command, std::string& drive) {
    command.add_option("DRIVE", drive, "Floppy drive: a or b")
        ->required()
        ->check(CLI::IsMember({"a", "b", "A", "B"}));
}

}  // namespace

std::optional<int> ParseSlotNumber(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t first = std::min(text.find_first_not_of('0'), text.size());
    const std::string_view digits = text.substr(first);
    if (digits.size() > 3) {
        return std::nullopt;
    }
    int value = 0;
    for (const char digit : digits) {
        value = value * 10 + (digit - '0');
    }
    if (value < 1 || value > 999) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> ParseVolumeSlot(std::string_view text) {
    if (!text.empty() && text.find_first_not_of('0') == std::string_view::npos) {
        return 0;
    }
    return ParseSlotNumber(text);
}

std::optional<int> ParseArguments(int argc, const char* const* argv, Invocation& invocation,
                                  std::ostream& out, std::ostream& err,
                                  const DeviceNaming& naming) {
    CLI::App app{"Quarnex: USB floppy-emulator stores of 1000 floppy images, from the terminal.",
                 "quarnex-cli"};
    app.footer(std::string("STORE is ") + naming.wholeStick + " " + kFooter);
    app.set_version_flag("--version", std::string("quarnex-cli ") + QUARNEX_VERSION);
    app.require_subcommand(1);
    app.fallthrough();
    // Paths may begin with "/" on every system; on Windows CLI11 would take
    // them for options.
    app.allow_windows_style_options(false);
    app.add_flag("-y,--yes", invocation.yes,
                 "Answer confirmations with yes (needed when standard input is not a terminal)");

    CLI::App* scan =
        AddCommand(app, "scan", "List the stores attached to this machine (name, device, store ID)",
                   Command::Scan, invocation);
    if (naming.loopDevices) {
        scan->add_flag("--all", invocation.all,
                       "Also look at loop devices (a store image attached with losetup)");
    }

    CLI::App* list = AddCommand(app, "list", "Show the store ID, the base ID and every slot",
                                Command::List, invocation);
    list->add_option("STORE", invocation.store, "Store")->required()->check(NotEmpty());
    list->add_flag("--json", invocation.json, "One JSON document instead of text");
    list->add_flag("--hash", invocation.hash,
                   "With --json: the SHA-256 of each slot's 1,474,560-byte image")
        ->needs("--json");

    CLI::App* find = AddCommand(
        app, "find",
        "Find slots by Disk ID, description or file name (long and short names, all folders)",
        Command::Find, invocation);
    find->add_option("STORE", invocation.store, "Store")->required()->check(NotEmpty());
    find->add_option("PATTERN", invocation.text,
                     "Without * or ? any part of a name or text matches; with them the whole "
                     "name; case is ignored")
        ->required();
    find->add_flag("--json", invocation.json, "One JSON document instead of text");
    find->footer(
        "Prints one line per match: slot, Disk ID, where it matched (id, description, file) and "
        "the text or path.\nExit codes: 0 something matched, 1 nothing matched or the search "
        "failed, 2 wrong usage.");

    CLI::App* get = AddCommand(app, "get", "Copy a slot's image into a 1.44 MB image file",
                               Command::Get, invocation);
    get->add_option("STORE", invocation.store, "Store")->required()->check(NotEmpty());
    AddSlot(*get, invocation);
    get->add_option("FILE", invocation.file, "Image file to write")->required()->check(NotEmpty());

    AddPut(app, invocation);

    CLI::App* describe = AddCommand(app, "describe", "Set a slot's description (\\n breaks lines)",
                                    Command::Describe, invocation);
    describe->add_option("STORE", invocation.store, "Store")->required()->check(NotEmpty());
    AddSlot(*describe, invocation);
    describe->add_option("TEXT", invocation.text, "Description; empty to remove it")->required();

    CLI::App* format = AddCommand(app, "format", "Format a store: 1000 empty FAT12 volumes",
                                  Command::Format, invocation);
    format->add_option("STORE", invocation.store, "Store")->required()->check(NotEmpty());
    format->add_option("--id", invocation.id, kStoreIdHelp)->required()->check(VolumeId());
    format->add_option("--base", invocation.base, kBaseIdHelp)->required()->check(VolumeId());
    format->add_flag("--no-number", invocation.noNumber,
                     "Do not append the slot number (001..999) to the base ID");
    AddNoVerify(*format, invocation);

    CLI::App* create = AddCommand(app, "create", "Create a formatted whole-store image file",
                                  Command::Create, invocation);
    create->add_option("FILE", invocation.file, "Store image file to create")
        ->required()
        ->check(NotEmpty());
    create->add_option("--id", invocation.id, kStoreIdHelp)->required()->check(VolumeId());
    create->add_option("--base", invocation.base, kBaseIdHelp)->required()->check(VolumeId());
    create->add_flag("--no-number", invocation.noNumber,
                     "Do not append the slot number (001..999) to the base ID");
    AddNoVerify(*create, invocation);

    CLI::App* backup =
        AddCommand(app, "backup", "Copy a whole store into a file (with its descriptions file)",
                   Command::Backup, invocation);
    backup->add_option("STORE", invocation.store, "Store")->required()->check(NotEmpty());
    backup->add_option("FILE", invocation.file, "Whole-store file to write")
        ->required()
        ->check(NotEmpty());

    CLI::App* restore = AddCommand(app, "restore", "Write a whole-store file onto a store",
                                   Command::Restore, invocation);
    restore->add_option("FILE", invocation.file, "Whole-store file of 1,572,864,000 bytes")
        ->required()
        ->check(NotEmpty());
    restore->add_option("STORE", invocation.store, "Store")->required()->check(NotEmpty());
    AddNoVerify(*restore, invocation);

    CLI::App* verify =
        AddCommand(app, "verify",
                   "Compare a store with a whole-store file slot by slot; list those that differ",
                   Command::Verify, invocation);
    verify->add_option("STORE", invocation.store, "Store")->required()->check(NotEmpty());
    verify->add_option("FILE", invocation.file, "Whole-store file of 1,572,864,000 bytes")
        ->required()
        ->check(NotEmpty());

    CLI::App* eject =
        AddCommand(app, "eject", "Safely remove a stick: wait for writers, unmount, power off",
                   Command::Eject, invocation);
    eject->add_option("STORE", invocation.store, "Store (the stick's device)")
        ->required()
        ->check(NotEmpty());

    CLI::App* image = app.add_subcommand("image", "Make 1.44 MB image files");
    image->require_subcommand(1);
    CLI::App* imageNew = AddCommand(*image, "new", "A blank formatted 1.44 MB image file",
                                    Command::ImageNew, invocation);
    imageNew->add_option("FILE", invocation.file, "Image file to write")
        ->required()
        ->check(NotEmpty());
    imageNew
        ->add_option("--id", invocation.id,
                     "Volume ID: up to 11 printable ASCII characters, longer ones are cut")
        ->check(VolumeId());
    CLI::App* imageZero =
        AddCommand(*image, "zero", "A 1.44 MB image file of zeros", Command::ImageZero, invocation);
    imageZero->add_option("FILE", invocation.file, "Image file to write")
        ->required()
        ->check(NotEmpty());

    AddFilesCommands(app, invocation);
    AddFolderCommands(app, invocation);

    std::string drive;
    CLI::App* floppy = app.add_subcommand("floppy", "Raw floppy drives a and b");
    floppy->require_subcommand(1);
    CLI::App* floppyRead = AddCommand(*floppy, "read", "Read a floppy disk into an image file",
                                      Command::FloppyRead, invocation);
    AddFloppyDrive(*floppyRead, drive);
    floppyRead->add_option("FILE", invocation.file, "Image file to write")
        ->required()
        ->check(NotEmpty());
    CLI::App* floppyWrite = AddCommand(*floppy, "write", "Write an image file onto a floppy disk",
                                       Command::FloppyWrite, invocation);
    floppyWrite->add_option("FILE", invocation.file, "Image file of 1,474,560 bytes")
        ->required()
        ->check(NotEmpty());
    AddFloppyDrive(*floppyWrite, drive);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e, out, err);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e, out, err);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e, out, err);
    } catch (const CLI::ParseError& e) {
        app.exit(e, out, err);
        return kExitUsage;
    }
    if (!invocation.file.empty()) {
        // The operations record and show the path (a slot's source, the head
        // of a descriptions file), so it is made complete; it also keeps a
        // file name from being taken for a raw floppy drive.
        std::error_code ec;
        const std::filesystem::path absolute = std::filesystem::absolute(invocation.file, ec);
        if (!ec) {
            invocation.file = absolute.lexically_normal().string();
        }
    }
    if (invocation.command == Command::PutMany) {
        // Each file's path becomes its slot's source, so it is made complete.
        for (std::string& path : invocation.paths) {
            std::error_code ec;
            const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
            if (!ec) {
                path = absolute.lexically_normal().string();
            }
        }
    }
    if (!drive.empty()) {
        invocation.drive = drive[0] == 'a' || drive[0] == 'A' ? 'A' : 'B';
    }
    return std::nullopt;
}

}  // namespace quarnex::cli
