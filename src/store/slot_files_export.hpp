#pragma once
// Copying slots of a store out into image files, one file per slot, in one
// run: the store is opened once, each slot read in one transfer, each file
// written whole beside its old self and put in its place only once it is on
// the medium, and one progress bar counts the slots.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "state/device_table.hpp"
#include "state/operation_ports.hpp"
#include "state/outcome.hpp"

namespace quarnex {

struct SlotFile {
    int slot = 0;  // 1..999
    std::string file;
};

struct SlotFilesExport {
    // Incomplete at the slot it stopped at; not started when the store could
    // not be opened or a file would overlap it (refused, reported).
    OperationResult result;
    std::vector<int> written;  // slots whose files are complete, in order
};

// image is a buffer of at least one floppy image.
SlotFilesExport ExportSlotsToFiles(OperationPorts& ports, const DeviceEntry& store,
                                   const std::vector<SlotFile>& targets,
                                   std::span<std::byte> image);

// An ordinary file's whole text; none when it is absent or cannot be read.
std::optional<std::string> ReadPlainFile(OperationPorts& ports, const std::string& path);

}  // namespace quarnex
