#pragma once
// The 1.44 MB FAT12 geometry and the on-disk records, as data.

#include <cstddef>
#include <cstdint>
#include <span>

namespace quarnex::fat12 {

inline constexpr std::size_t kBytesPerSector = 512;
inline constexpr std::size_t kTotalSectors = 2880;
inline constexpr std::size_t kVolumeBytes = kBytesPerSector * kTotalSectors;  // 1,474,560
inline constexpr std::size_t kReservedSectors = 1;
inline constexpr std::size_t kFatCount = 2;
inline constexpr std::size_t kSectorsPerFat = 9;
inline constexpr std::size_t kRootEntries = 224;
inline constexpr std::size_t kDirEntryBytes = 32;
inline constexpr std::size_t kRootSectors = kRootEntries * kDirEntryBytes / kBytesPerSector;  // 14
inline constexpr std::size_t kSectorsPerCluster = 1;
inline constexpr std::size_t kSectorsPerTrack = 18;
inline constexpr std::size_t kHeads = 2;
inline constexpr std::uint8_t kMediaDescriptor = 0xF0;

inline constexpr std::size_t kFatOffset = kReservedSectors * kBytesPerSector;  // 512
inline constexpr std::size_t kFatBytes = kSectorsPerFat * kBytesPerSector;
inline constexpr std::size_t kRootOffset = kFatOffset + kFatCount * kFatBytes;            // 9,728
inline constexpr std::size_t kDataOffset = kRootOffset + kRootSectors * kBytesPerSector;  // 16,896
inline constexpr std::size_t kClusterBytes = kSectorsPerCluster * kBytesPerSector;
inline constexpr std::size_t kClusterCount = (kVolumeBytes - kDataOffset) / kClusterBytes;  // 2847
inline constexpr unsigned kFirstCluster = 2;
inline constexpr unsigned kEndOfChain = 0xFFF;
inline constexpr unsigned kBadCluster = 0xFF7;

// Boot sector fields.
inline constexpr std::size_t kLabelFieldOffset = 43;
inline constexpr std::size_t kLabelBytes = 11;
inline constexpr std::size_t kFsTypeOffset = 54;

// Directory entry fields.
inline constexpr std::uint8_t kAttrVolumeLabel = 0x08;
inline constexpr std::uint8_t kAttrDirectory = 0x10;
inline constexpr std::uint8_t kAttrArchive = 0x20;
inline constexpr std::uint8_t kAttrLongName = 0x0F;
inline constexpr std::uint8_t kDeletedMark = 0xE5;

static_assert(kRootOffset == 9728);
static_assert(kDataOffset == 16896);
static_assert(kClusterCount == 2847);

// Little-endian accessors.
std::uint16_t Get16(std::span<const std::byte> bytes, std::size_t offset);
std::uint32_t Get32(std::span<const std::byte> bytes, std::size_t offset);
void Put16(std::span<std::byte> bytes, std::size_t offset, std::uint16_t value);
void Put32(std::span<std::byte> bytes, std::size_t offset, std::uint32_t value);

// The 12-bit entry of cluster in one FAT copy.
unsigned GetFatEntry(std::span<const std::byte> fat, unsigned cluster);
void SetFatEntry(std::span<std::byte> fat, unsigned cluster, unsigned value);

// Sets a directory entry's times and dates to the fixed stamp of new entries.
void StampDirEntry(std::span<std::byte> entry);

}  // namespace quarnex::fat12
