#pragma once
// Steps the commands share: opening the STORE argument as the selected
// store, asking before files are replaced, reading back what a slot shows.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_world.hpp"
#include "cli/store_argument.hpp"
#include "ports/drive_catalog.hpp"
#include "state/outcome.hpp"

namespace quarnex::cli {

// Whether the command changes the store: writers hold it exclusively,
// readers share it, each for the rest of the run.
enum class StoreAccess { Read, Write };

// Whether opening a store also reads its Disk IDs and descriptions.
enum class StoreRecords { Load, Skip };

// Resolves, locks and selects the store; with Load, reads its Disk IDs and
// descriptions as selecting it in the GUI does, but without creating a
// missing descriptions file, and says what could not be read in it. Empty
// after a refusal or a failure, which has been shown.
std::optional<StoreTarget> OpenStore(CliWorld& world, const std::string& argument, StoreUse use,
                                     StoreAccess access, StoreRecords records);

// Locks path (a store or an image file) for the rest of the run, waiting
// for another program as the store commands do; false after saying why not.
bool LockForRun(CliWorld& world, const std::string& path, StoreAccess access);

// Says on stderr what could not be read in the store's DISKS.TXT; true when
// it was read in full (or is absent).
bool NoteDescriptionsRead(CliWorld& world, const StoreTarget& store);

// Before a command writes the store's DISKS.TXT: refused when a folder
// stands there; asked when the file could not be read in full (with --yes,
// said plainly that it will be replaced). True when the command may go on.
bool ConfirmReplaceDescriptions(CliWorld& world, const StoreTarget& store);

// True (after saying so) when path is the store under any name, the backing
// file of its loop device, or lies on it: copying a store into (or out of)
// itself would destroy it.
bool RefuseStoreOverlap(CliWorld& world, const std::string& storePath, const std::string& path);

// Asks before an existing file is replaced; true when the file is new. A path
// that is no regular file (or one this user may not write) is refused.
bool ConfirmReplaceFile(CliWorld& world, const std::string& path);

// The slot's Disk ID as listings show it: 11 characters, eleven hyphens
// when the label is unreadable.
std::string ShownDiskId(CliWorld& world, int slot);

// "slot 007 [FDISK007] of /dev/sdb", for questions.
std::string SlotName(CliWorld& world, const StoreTarget& store, int slot);

// Asks before existing files are replaced (a backup also writes its
// descriptions file); true when none of them exists.
bool ConfirmReplaceFiles(CliWorld& world, const std::vector<std::string>& paths);

// After an operation that stopped part way: says what it left changed and
// the unit it stopped at, named as the operation's action label named it.
void NotePartlyWritten(CliWorld& world, const OperationResult& result,
                       const std::function<std::string(int unit)>& actionAt,
                       const std::string& what);

// Says when an ID given with option has more than limit characters and is
// cut (why: the reason; what: the label it gives). The window cuts silently.
void NoteCutId(CliWorld& world, const std::string& option, const std::string& typed,
               std::size_t limit, const std::string& why, const std::string& what);

// A description typed on the command line: the two characters \n break lines.
std::string DescriptionFromArgument(const std::string& text);

// The exit code of an operation's result; a Ctrl-C counts as a failure even
// when the operation had nothing left to stop.
int ExitCode(CliWorld& world, bool succeeded);

}  // namespace quarnex::cli
