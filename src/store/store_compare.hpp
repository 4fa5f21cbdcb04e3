#pragma once
// Reading a whole store to check it: against a whole-store file slot by slot,
// and as a fingerprint (SHA-256) of every slot's image.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "state/operation_ports.hpp"
#include "state/outcome.hpp"

namespace quarnex {

// A slot whose bytes (image and gap) differ, and the first byte that does.
struct SlotDifference {
    int slot = 0;
    std::size_t byte = 0;
    bool operator==(const SlotDifference&) const = default;
};

struct StoreComparison {
    OperationResult run;  // units are slots; complete once all 1000 were compared
    std::vector<SlotDifference> differing;
};

// Compares slots 0..999 of the store (read from the medium, not the cache)
// with those of the whole-store file at filePath. A file of another length is
// refused after a message.
StoreComparison CompareStoreWithFile(OperationPorts& ports, const std::string& storePath,
                                     const std::string& filePath);

// The SHA-256 of the 1,474,560-byte image of each slot 0..999, as lowercase
// hex; empty after a reported failure.
std::vector<std::string> SlotImageHashes(OperationPorts& ports, const std::string& storePath);

}  // namespace quarnex
