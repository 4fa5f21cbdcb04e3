#include "fat12/directory.hpp"

#include "fat12/geometry.hpp"

#include "fat12/fat_table.hpp"
#include "fat12/long_names.hpp"
#include "fat12/short_names.hpp"

namespace quarnex::fat12 {

bool IsDirectory(const DirEntry& entry) {
    return (entry.attributes & kAttrDirectory) != std::byte{0};
}

bool IsDotEntry(const FoundEntry& item) {
    return item.shortName == "." || item.shortName == "..";
}

std::optional<DirectorySlots> ReadDirectorySlots(const Layout& layout,
                                                 std::span<const std::byte> image,
                                                 unsigned firstCluster) {
    DirectorySlots slots;
    slots.firstCluster = firstCluster;
    if (firstCluster == 0) {
        for (std::size_t i = 0; i < layout.rootEntries; ++i) {
            slots.offsets.push_back(layout.rootOffset + i * sizeof(DirEntry));
        }
        return slots;
    }
    auto chain = ClusterChain(layout, image, firstCluster);
    if (!chain) {
        return std::nullopt;
    }
    slots.clusters = std::move(*chain);
    for (const unsigned cluster : slots.clusters) {
        for (std::size_t at = 0; at < layout.clusterBytes; at += sizeof(DirEntry)) {
            slots.offsets.push_back(layout.ClusterOffset(cluster) + at);
        }
    }
    return slots;
}

std::vector<FoundEntry> ReadEntries(std::span<const std::byte> image, const DirectorySlots& slots) {
    std::vector<FoundEntry> found;
    found.reserve(slots.offsets.size());
    LongNameReader longName;
    std::size_t firstSlot = 0;
    bool pending = false;
    for (std::size_t i = 0; i < slots.offsets.size(); ++i) {
        const auto entry = LoadRecord<DirEntry>(image, slots.offsets[i]);
        if (entry.name[0] == kEndOfDirectory) {
            break;
        }
        if (entry.name[0] == kDeletedMark) {
            longName.Reset();
            pending = false;
            continue;
        }
        if (entry.attributes == kAttrLongName) {
            const auto raw = LoadRecord<RawEntry>(image, slots.offsets[i]);
            if ((raw[0] & kLastLongEntry) != std::byte{0}) {
                firstSlot = i;
                pending = true;
            }
            longName.Add(raw);
            continue;
        }
        const auto name = longName.Finish(entry.name);
        const bool hadLongName = pending && name.has_value();
        pending = false;
        if ((entry.attributes & kAttrVolumeLabel) != std::byte{0}) {
            continue;
        }
        FoundEntry item;
        item.shortName = ShortNameText(entry.name, entry.reserved);
        item.name = hadLongName ? *name : item.shortName;
        item.entry = entry;
        item.slot = i;
        item.firstSlot = hadLongName ? firstSlot : i;
        found.push_back(std::move(item));
    }
    return found;
}

std::optional<FoundEntry> FindEntry(std::span<const std::byte> image, const DirectorySlots& slots,
                                    std::string_view name) {
    for (FoundEntry& item : ReadEntries(image, slots)) {
        if (SameName(item.name, name) || SameName(item.shortName, name)) {
            return std::move(item);
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> FreeSlots(std::span<const std::byte> image, const DirectorySlots& slots,
                                     std::size_t count, SlotRun run) {
    std::size_t length = 0;
    bool ended = false;
    for (std::size_t i = 0; i < slots.offsets.size(); ++i) {
        const std::byte first = image[slots.offsets[i]];
        ended = ended || first == kEndOfDirectory;
        const bool free = ended || first == kDeletedMark;
        const bool crosses = run == SlotRun::OneSector && length > 0 &&
                             slots.offsets[i] / kSectorBytes != slots.offsets[i - 1] / kSectorBytes;
        length = free ? (crosses ? 1 : length + 1) : 0;
        if (length == count) {
            return i + 1 - count;
        }
    }
    return std::nullopt;
}

}  // namespace quarnex::fat12
