#include "fat12/entry_placement.hpp"

#include "fat12/dir_entry.hpp"

namespace quarnex::fat12 {

namespace {

// Marks the slots between the old end mark and [first, first + count).
void ClearStale(Placement& placement, const std::vector<std::size_t>& slots, std::size_t end,
                std::size_t first, std::size_t count) {
    for (std::size_t i = end; i < first; ++i) {
        placement.deleted.push_back(slots[i]);
    }
    if (first > end && first < slots.size()) {
        placement.endMarks.push_back(slots[first]);
    }
    if (first + count > end && first + count < slots.size()) {
        placement.endMarks.push_back(slots[first + count]);
    }
}

}  // namespace

std::optional<Placement> Place(const DirectorySlots& folder, std::size_t clusterBytes,
                               std::span<const std::byte> image, std::size_t count) {
    const std::vector<std::size_t>& slots = folder.offsets;
    std::size_t end = slots.size();
    for (std::size_t i = 0; i < slots.size() && end == slots.size(); ++i) {
        end = image[slots[i]] == kEndOfDirectory ? i : end;
    }
    Placement placement;
    // In one sector when there is room, so that the names and the entry
    // reach the medium in one write.
    auto first = FreeSlots(image, folder, count, SlotRun::OneSector);
    if (!first) {
        first = FreeSlots(image, folder, count);
    }
    if (first) {
        placement.offsets.assign(slots.begin() + static_cast<std::ptrdiff_t>(*first),
                                 slots.begin() + static_cast<std::ptrdiff_t>(*first + count));
        ClearStale(placement, slots, end, *first, count);
        return placement;
    }
    if (folder.firstCluster == 0) {
        return std::nullopt;  // the root cannot grow
    }
    // Free slots at the end, where the new entries can begin.
    std::size_t tail = 0;
    while (tail < slots.size() && tail < count) {
        const std::size_t index = slots.size() - 1 - tail;
        if (index < end && image[slots[index]] != kDeletedMark) {
            break;
        }
        ++tail;
    }
    const std::size_t perCluster = clusterBytes / sizeof(DirEntry);
    placement.newClusters = (count - tail + perCluster - 1) / perCluster;
    placement.offsets.assign(slots.end() - static_cast<std::ptrdiff_t>(tail), slots.end());
    ClearStale(placement, slots, end, slots.size() - tail, tail);
    return placement;
}

}  // namespace quarnex::fat12
