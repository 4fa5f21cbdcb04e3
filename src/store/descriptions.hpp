#pragma once
// The store's descriptions file (DISKS.TXT in slot 0's volume, or the file
// beside a whole-store image): loading it into the slot records, and writing
// it back from them.

#include <string>

#include "state/context.hpp"

namespace quarnex {

// Fills the slots' descriptions and sources and the base ID of the selected
// store from its DISKS.TXT; when the file is absent, derives
// the base ID from the loaded IDs and creates the file. True when the file was
// read in full (or created). Otherwise slotTable.descriptionsFile says what
// could not be read (nothing is shown to the user); what could be read stays,
// and a file that could not be used at all leaves the base derived.
bool LoadDescriptions(Context& ctx);

// The same without creating a missing file: the base ID is only derived.
// For callers that must not change a store by looking at it.
bool ReadDescriptions(Context& ctx);

// Writes the descriptions file from the slot records. name is either
// the selected store's device name + "/DISKS.TXT" (reached through its mount
// point or inside slot 0's FAT12 volume) or an ordinary file path, whose
// extension is replaced by "txt". Written in the encoding the store's file
// was read in. The store's own file is not replaced when it is a folder, or
// when it could not be read in full and the user has not confirmed
// (slotTable.descriptionsFile). True when the whole file was written;
// failures and refusals are reported to the user.
bool SaveDescriptions(Context& ctx, const std::string& name);

}  // namespace quarnex
