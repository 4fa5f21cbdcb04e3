#pragma once
// Find: every slot's Disk ID, description and the names of the files and
// folders in its volume (long and short names, every folder), matched
// against a pattern. Only boot sectors, the first FAT and directories are
// read, sector by sector: a store holds 1.4 GB of file data that a search
// never needs. The caller holds the store's lock (shared is enough).

#include <string>
#include <string_view>
#include <vector>

#include "state/operation_ports.hpp"
#include "state/outcome.hpp"
#include "store/store_in_use.hpp"

namespace quarnex {

enum class FoundIn { DiskId, Description, File };

struct FindMatch {
    int slot = 0;
    std::string diskId;  // the label as listings show it (hyphens when unreadable)
    FoundIn in = FoundIn::File;
    std::string text;  // the trimmed ID, the description (CR LF), or the path ("GAMES/DOOM.EXE")

    bool operator==(const FindMatch&) const = default;
};

struct FindResult {
    OperationResult result;
    std::vector<FindMatch> matches;  // in slot order; those found before a stop
};

// Looks through slots 1..999, reporting each as a unit; descriptions come
// from the store's records. Not started when the device cannot be opened;
// a failed read or a cancel stops at its slot.
FindResult FindInStore(OperationPorts& ports, const StoreInUse& store, std::string_view pattern);

}  // namespace quarnex
