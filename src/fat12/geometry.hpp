#pragma once
// The 1.44 MB floppy geometry: the only volume shape the program builds and
// edits, and where its regions lie.

#include <cstddef>
#include <cstdint>

#include "core/media_sizes.hpp"

namespace quarnex::fat12 {

inline constexpr std::size_t kVolumeBytes = kImageBytes;
inline constexpr std::size_t kTotalSectors = kVolumeBytes / kSectorBytes;  // 2880
inline constexpr std::size_t kReservedSectors = 1;
inline constexpr std::size_t kFatCount = 2;
inline constexpr std::size_t kSectorsPerFat = 9;
inline constexpr std::size_t kRootEntries = 224;
inline constexpr std::size_t kSectorsPerCluster = 1;
inline constexpr std::size_t kSectorsPerTrack = 18;
inline constexpr std::size_t kHeads = 2;
inline constexpr std::uint8_t kMediaDescriptor = 0xF0;

inline constexpr std::size_t kDirEntryBytes = 32;
inline constexpr std::size_t kRootSectors = kRootEntries * kDirEntryBytes / kSectorBytes;  // 14
inline constexpr std::size_t kFatOffset = kReservedSectors * kSectorBytes;                 // 512
inline constexpr std::size_t kFatBytes = kSectorsPerFat * kSectorBytes;
inline constexpr std::size_t kRootOffset = kFatOffset + kFatCount * kFatBytes;         // 9,728
inline constexpr std::size_t kDataOffset = kRootOffset + kRootSectors * kSectorBytes;  // 16,896
inline constexpr std::size_t kClusterBytes = kSectorsPerCluster * kSectorBytes;
inline constexpr std::size_t kClusterCount = (kVolumeBytes - kDataOffset) / kClusterBytes;  // 2847
inline constexpr unsigned kFirstCluster = 2;
inline constexpr unsigned kLastCluster = kFirstCluster + kClusterCount - 1;  // 2848

static_assert(kRootOffset == 9728);
static_assert(kDataOffset == 16896);
static_assert(kClusterCount == 2847);

}  // namespace quarnex::fat12
