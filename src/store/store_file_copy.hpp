#pragma once
// Whole-store image files: a USB store copied slot by slot into
// one file of 1,572,864,000 bytes, and such a file copied back onto it.

#include <span>
#include <string>

#include "state/device_table.hpp"
#include "state/operation_ports.hpp"
#include "state/outcome.hpp"
#include "store/read_back.hpp"
#include "store/store_in_use.hpp"

namespace quarnex {

struct BackupResult {
    OperationResult copy;  // units are slots; complete once all 1000 were copied and flushed
    bool descriptionsWritten = false;  // the descriptions file beside the copy
};

// Copies the store into path through slotBuffer (one slot) and, once the
// copy is complete, writes its records as the descriptions file beside it.
// An existing file is replaced only by a complete copy.
BackupResult BackupStoreToFile(OperationPorts& ports, StoreInUse source, const std::string& path,
                               std::span<std::byte> slotBuffer);

// Copies a whole-store file onto the store through slotBuffer (one slot). An
// incomplete copy (the store then holds the file's first slots and its own
// later ones) also shows "Progress       Failed". With read-back on, every
// slot is read from the store after the last write and compared with the
// file; a difference fails the restore at that slot.
OperationResult RestoreStoreFromFile(OperationPorts& ports, const DeviceEntry& store,
                                     const std::string& path, std::span<std::byte> slotBuffer,
                                     ReadBack readBack = ReadBack::On);

}  // namespace quarnex
