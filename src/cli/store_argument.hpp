#pragma once
// How a STORE argument (a block device node or a whole-store image file)
// becomes the selected row of the device table.

#include <optional>
#include <string>

#include "commands/context.hpp"

namespace quarnex::cli {

enum class StoreUse {
    Existing,   // must already be a store: its first sector is a 1.44 MB FAT12 boot sector
    Overwrite,  // is about to be written whole (format, restore); any content
};

struct StoreTarget {
    DeviceEntry entry;
    bool isFile = false;
    bool looksLikeStore = false;  // the first sector passes the store test
};

// Checks the argument and explains a refusal on stderr through the Ui (the
// program's own length message for files of the wrong size). Refused: a
// missing path, a directory, a file that is not 1,572,864,000 bytes long, a
// partition, a device the user's rights do not reach where the system says
// what to do about it, a device smaller than a store, a device that holds the
// running system (Overwrite), and for Existing anything that fails the store
// test or cannot be read.
std::optional<StoreTarget> ResolveStore(Context& ctx, const std::string& argument, StoreUse use);

// Makes the target the one and only store of the device table and selects it.
void SelectStore(Context& ctx, const StoreTarget& target);

}  // namespace quarnex::cli
