#pragma once
// Reading the volume label of every slot of a store into its records.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "state/operation_ports.hpp"
#include "state/outcome.hpp"
#include "store/slot_table.hpp"
#include "store/store_in_use.hpp"

namespace quarnex {

// The label of an image's boot sector as shown: 11 characters when every
// byte lies in 0x20..0x7F, otherwise empty (fat12::ReadVolumeLabel).
std::string DiskIdFromBootSector(std::span<const std::byte> boot);

// A slot's Disk ID from its label: none for an empty (unreadable) one.
std::optional<std::string> DiskIdRecord(const std::string& id);

// One line per slot that still carries the mark of a slot write, joined by
// separator; empty when none does.
std::string UnfinishedSlotsText(const SlotTable& table, std::string_view separator);

// Reads the label of slots 0..999: slot 0's trimmed label becomes the slot
// records' store ID, slots 1..999 their Disk IDs. Complete when all 1000
// reads succeeded; not started when the device could not be opened;
// incomplete after a failed read, with the slots from there on keeping
// their old IDs.
Outcome LoadDiskIds(OperationPorts& ports, StoreInUse store);

}  // namespace quarnex
