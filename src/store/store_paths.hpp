#pragma once
// Where the parts of the selected store are reached on this platform.

#include <string>
#include <string_view>

#include "state/context.hpp"

namespace quarnex {

// True when the selected store is an ordinary file (a whole-store image used
// as a store) rather than a device.
bool StoreIsFile(Context& ctx);

// The path opened as slot 0's volume: the drive's volume node, or the file
// itself for a store that is a file.
std::string StoreVolumePath(Context& ctx);

// The selected store's device name + "/DISKS.TXT": the name callers pass to
// SaveDescriptions for the store's own descriptions file.
std::string StoreDescriptionsName(Context& ctx);

// Output file name of a descriptions file: the name with its last extension
// replaced by "txt" ("stick.2024-05.img" gives "stick.2024-05.txt", so two
// dated backups never share one), or name + ".txt" without an extension.
std::string DescriptionsOutputName(std::string_view name);

}  // namespace quarnex
