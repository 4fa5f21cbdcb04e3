#pragma once
// The store's descriptions file (DISKS.TXT in slot 0's volume, or the file
// beside a whole-store image): loading it into the slot records, and writing
// it back from them.

#include <string>

#include "state/operation_ports.hpp"
#include "store/store_in_use.hpp"

namespace quarnex {

// Fills the slots' descriptions and sources and the base ID of the store
// from its DISKS.TXT; when the file is absent, derives
// the base ID from the loaded IDs and creates the file. True when the file was
// read in full (or created). Otherwise slotTable.descriptionsFile says what
// could not be read (nothing is shown to the user); what could be read stays,
// and a file that could not be used at all leaves the base derived.
bool LoadDescriptions(OperationPorts& ports, StoreInUse store);

// The same without creating a missing file: the base ID is only derived.
// For callers that must not change a store by looking at it.
bool ReadDescriptions(OperationPorts& ports, StoreInUse store);

// Writes the store's DISKS.TXT from its records (reached through its mount
// point or inside slot 0's FAT12 volume), in the encoding it was read in. It
// is not replaced when it is a folder, or when it could not be read in full
// and the user has not confirmed (records.descriptionsFile). True when the
// whole file was written; failures and refusals are reported to the user.
bool SaveDescriptions(OperationPorts& ports, StoreInUse store);

// Whether the store's DISKS.TXT is no longer what the records last read or
// wrote: another program changed, created or removed it. A file that cannot
// be read now counts as unchanged (the next load or save says why).
bool DescriptionsChangedElsewhere(OperationPorts& ports, StoreInUse store);

// Writes the records as an ordinary file: name with its extension replaced
// by "txt", its header naming name. True when the whole
// file was written; a failure is reported.
bool SaveDescriptionsCopy(OperationPorts& ports, const SlotTable& records, const std::string& name);

}  // namespace quarnex
