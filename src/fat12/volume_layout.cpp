#include "fat12/volume_layout.hpp"

#include <bit>

#include "core/media_sizes.hpp"
#include "fat12/boot_sector.hpp"

namespace quarnex::fat12 {

namespace {

// FAT12 holds at most this many clusters; one more makes it FAT16.
constexpr unsigned kMaxFat12Clusters = 4084;

LayoutCheck Problem(const std::string& field, std::size_t value, const std::string& why) {
    return {std::nullopt, "its " + field + " (" + std::to_string(value) + ") " + why};
}

}  // namespace

LayoutCheck ReadLayout(std::span<const std::byte> image) {
    if (image.size() < sizeof(BootSector)) {
        return {std::nullopt, "it is shorter than one sector"};
    }
    const auto boot = LoadRecord<BootSector>(image, 0);
    Layout layout;
    if (const std::size_t sector = boot.bytesPerSector.Get(); sector != kSectorBytes) {
        // Larger sectors make a sound volume (mkfs.fat -S), just not one
        // that every offset here, counted in 512-byte sectors, can reach.
        if (sector >= 1024 && sector <= 4096 && std::has_single_bit(sector)) {
            return {
                std::nullopt,
                "a FAT12 layout with " + std::to_string(sector) + "-byte sectors is not handled",
                true};
        }
        return Problem("sector size", sector, "is not 512 bytes");
    }
    layout.sectorsPerCluster = std::to_integer<std::size_t>(boot.sectorsPerCluster);
    if (layout.sectorsPerCluster == 0 || layout.sectorsPerCluster > 64 ||
        !std::has_single_bit(layout.sectorsPerCluster)) {
        return Problem("sectors per cluster", layout.sectorsPerCluster,
                       "is not a power of two from 1 to 64");
    }
    const std::size_t reserved = boot.reservedSectors.Get();
    if (reserved == 0) {
        return Problem("reserved sector count", reserved, "leaves no room for the boot sector");
    }
    layout.fatCount = std::to_integer<std::size_t>(boot.fatCount);
    if (layout.fatCount != 1 && layout.fatCount != 2) {
        return Problem("number of FATs", layout.fatCount, "is not 1 or 2");
    }
    layout.rootEntries = boot.rootEntries.Get();
    if (layout.rootEntries == 0) {
        return Problem("root directory size", 0, "leaves no root directory");
    }
    layout.totalSectors =
        boot.totalSectors.Get() != 0 ? boot.totalSectors.Get() : boot.totalSectors32.Get();
    if (layout.totalSectors == 0 || layout.totalSectors > image.size() / kSectorBytes) {
        return Problem("sector count", layout.totalSectors,
                       "does not fit the " + std::to_string(image.size() / kSectorBytes) +
                           " sectors that hold it");
    }
    layout.mediaDescriptor = std::to_integer<unsigned>(boot.mediaDescriptor);
    if (layout.mediaDescriptor != 0xF0 && layout.mediaDescriptor < 0xF8) {
        return Problem("media descriptor", layout.mediaDescriptor, "is not a known medium");
    }
    const std::size_t fatSectors = boot.sectorsPerFat.Get();
    const std::size_t rootSectors = (layout.rootEntries * 32 + kSectorBytes - 1) / kSectorBytes;
    const std::size_t dataSector = reserved + layout.fatCount * fatSectors + rootSectors;
    if (fatSectors == 0 || dataSector >= layout.totalSectors) {
        return Problem("FAT size", fatSectors, "leaves no room for data");
    }
    const std::size_t clusters = (layout.totalSectors - dataSector) / layout.sectorsPerCluster;
    if (clusters == 0 || clusters > kMaxFat12Clusters) {
        return Problem("cluster count", clusters, "is not that of a FAT12 volume");
    }
    layout.clusterCount = static_cast<unsigned>(clusters);
    layout.lastCluster = layout.clusterCount + 1;
    if (layout.lastCluster + layout.lastCluster / 2 + 2 > fatSectors * kSectorBytes) {
        return Problem("FAT size", fatSectors, "is too small for its clusters");
    }
    layout.fatOffset = reserved * kSectorBytes;
    layout.fatBytes = fatSectors * kSectorBytes;
    layout.rootOffset = layout.fatOffset + layout.fatCount * layout.fatBytes;
    layout.dataOffset = dataSector * kSectorBytes;
    layout.clusterBytes = layout.sectorsPerCluster * kSectorBytes;
    layout.volumeBytes = layout.totalSectors * kSectorBytes;
    return {layout, {}};
}

}  // namespace quarnex::fat12
