#pragma once
// Where the regions of a FAT12 volume lie, taken from its boot sector and
// checked against the bytes that hold the volume before anything uses them.

#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "core/media_sizes.hpp"

namespace quarnex::fat12 {

struct Layout {
    std::size_t sectorsPerCluster = 1;
    std::size_t fatCount = 2;
    std::size_t rootEntries = 224;
    std::size_t totalSectors = 0;
    std::size_t fatOffset = 0;  // first FAT copy
    std::size_t fatBytes = 0;   // one copy
    std::size_t rootOffset = 0;
    std::size_t dataOffset = 0;
    std::size_t clusterBytes = kSectorBytes;
    std::size_t volumeBytes = 0;
    unsigned clusterCount = 0;  // data clusters, numbered 2..lastCluster
    unsigned lastCluster = 1;
    unsigned mediaDescriptor = 0xF0;

    std::size_t FatCopyOffset(std::size_t copy) const { return fatOffset + copy * fatBytes; }
    std::size_t ClusterOffset(unsigned cluster) const {
        return dataOffset + (cluster - 2) * clusterBytes;
    }
    bool IsDataCluster(unsigned cluster) const { return cluster >= 2 && cluster <= lastCluster; }
};

struct LayoutCheck {
    std::optional<Layout> layout;
    std::string problem;     // why there is no layout: the field at fault, in words
    bool unhandled = false;  // a sound layout this code does not handle, not damage
};

// The layout of the volume at the start of image, whose size bounds it (a
// slot, or a whole image file).
LayoutCheck ReadLayout(std::span<const std::byte> image);

}  // namespace quarnex::fat12
