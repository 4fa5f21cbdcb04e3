#pragma once
// Reading the volume label of every slot of the selected store into the grid.

#include <span>
#include <string>

#include "state/context.hpp"

namespace quarnex {

// The label of an image's boot sector as shown: 11 characters when every
// byte lies in 0x20..0x7F, otherwise empty (fat12::ReadVolumeLabel).
std::string DiskIdFromBootSector(std::span<const std::byte> boot);

// Column-1 text of a slot row: " " + ID + " ", eleven hyphens for an empty ID.
std::string DiskIdCell(const std::string& id);

// Reads the label of slots 0..999: slot 0's trimmed label fills the device-ID
// text box, slots 1..999 their grid rows. True when all 1000 reads succeeded
// (the store is then loaded); on a failed read the rows from that slot on keep
// their old text and the window returns to the device list.
bool LoadDiskIds(Context& ctx);

}  // namespace quarnex
