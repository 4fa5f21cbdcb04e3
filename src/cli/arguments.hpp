#pragma once
// The command line of the terminal tool.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "ports/drive_catalog.hpp"

namespace quarnex::cli {

enum class Command {
    Scan,
    List,
    Get,
    Put,
    PutMany,  // put with several files, --free or --dry-run
    Describe,
    Format,
    Create,
    Backup,
    Restore,
    ImageNew,
    ImageZero,
    FloppyRead,
    FloppyWrite,
    Eject,
    FilesList,
    FilesGet,
    FilesPut,
    FilesRemove,
    FilesMakeFolder,
    Find,
    Verify,
    Export,  // slots to a folder of image files
    Import,  // a folder of image files into slots
};

struct Invocation {
    Command command = Command::Scan;
    std::string store;  // STORE
    std::string file;   // FILE
    std::string text;   // describe TEXT, find PATTERN
    std::string id;     // format/create --id, image new --id
    std::string base;   // --base
    char drive = 'A';   // floppy a|b, as the drive's letter
    int slot = 0;       // SLOT, 1..999
    // files: TARGET in store, --slot (0..999; none for an image file), the
    // paths in the volume or host files to put, DEST and --to.
    std::optional<int> volumeSlot;
    std::vector<std::string> paths;
    std::string destination;
    std::string folder;
    std::string name;       // files put --name
    bool keepTime = false;  // files put --keep-time
    bool parents = false;   // files mkdir -p
    bool json = false;
    bool all = false;  // scan --all: loop devices too
    bool noNumber = false;
    bool yes = false;
    bool freeSlots = false;  // put --free
    bool dryRun = false;     // put --dry-run
    bool noVerify = false;   // writers: skip reading back what was written
    bool hash = false;       // list --hash
    // export --slots (in slot order, each once); none for every slot
    std::optional<std::vector<int>> slotRange;
    bool namesId = false;  // export --names id
    bool force = false;    // export: replace files of the same name
};

// Exit codes of the tool.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // the operation failed or was refused
inline constexpr int kExitUsage = 2;    // the command line is wrong

// Parses argv. Returns the exit code when parsing already ended the run
// (help or version shown on out, a usage error explained on err).
// A slot number as typed: decimal digits only (leading zeros allowed), 1..999;
// nothing for anything else ("0x10", "1e2", "5 ", "").
std::optional<int> ParseSlotNumber(std::string_view text);
// The same, also taking slot 0 (the store's own volume): files --slot.
std::optional<int> ParseVolumeSlot(std::string_view text);

// naming: how the system calls the devices a store may be, for the help.
std::optional<int> ParseArguments(int argc, const char* const* argv, Invocation& invocation,
                                  std::ostream& out, std::ostream& err, const DeviceNaming& naming);

}  // namespace quarnex::cli
