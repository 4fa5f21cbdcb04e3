#pragma once
// Sizes of the media the program moves: floppy images and the 1000-slot store.
// Where things lie inside an image is the FAT12 code's business (src/fat12).

#include <cstddef>
#include <cstdint>

namespace quarnex {

inline constexpr std::size_t kSectorBytes = 512;
inline constexpr std::size_t kTrackBytes = 9216;  // 18 sectors: one block of every image transfer
inline constexpr std::size_t kImageBytes = 1474560;                        // a 1.44 MB floppy image
inline constexpr std::size_t kTracksPerImage = kImageBytes / kTrackBytes;  // 160
inline constexpr std::size_t kSlotStride = 1572864;                        // one slot of a store
inline constexpr std::size_t kSlotGapBytes = kSlotStride - kImageBytes;
inline constexpr int kSlotCount = 1000;  // slots 0..999; slot 0 is the store's own volume
inline constexpr std::uint64_t kStoreBytes =
    std::uint64_t{kSlotStride} * kSlotCount;  // 1,572,864,000

inline constexpr std::uint64_t SlotOffset(int slot) {
    return std::uint64_t{kSlotStride} * static_cast<std::uint64_t>(slot);
}

static_assert(kTracksPerImage * kTrackBytes == kImageBytes);
static_assert(kStoreBytes == 1572864000ULL);

}  // namespace quarnex
