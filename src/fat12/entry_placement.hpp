#pragma once
// Where the entries of a new name go in a folder, and what must change
// around them so that stale entries never show.

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "fat12/directory.hpp"

namespace quarnex::fat12 {

// Where the entries of a new name go: free slots of the folder, or slots in
// clusters added to its end.
struct Placement {
    std::vector<std::size_t> offsets;  // long-name entries first, the short entry last
    std::size_t newClusters = 0;       // clusters to append to the folder
    // Slots past the old end mark hold stale entries. Before the new ones are
    // written, those before them become deleted entries and the slot where
    // they begin (or the one after them) the end mark, so that no stale
    // entry ever shows and readers see nothing new until the entry lands.
    std::vector<std::size_t> deleted;
    std::vector<std::size_t> endMarks;
};

// count consecutive slots for the entries of one name, in one sector when
// there is room; nothing when the root is full (subfolders grow instead).
std::optional<Placement> Place(const DirectorySlots& folder, std::size_t clusterBytes,
                               std::span<const std::byte> image, std::size_t count);

}  // namespace quarnex::fat12
