#include "fat12/fat_codec.hpp"

#include "fat12/little_endian.hpp"

namespace quarnex::fat12 {

// Two entries share three bytes: an even cluster takes the low 12 bits of the
// 16-bit word at its offset, an odd one the high 12.
unsigned GetFatEntry(std::span<const std::byte> fat, unsigned cluster) {
    const unsigned pair = LoadRecord<Le16>(fat, cluster + cluster / 2).Get();
    return (cluster % 2 == 0) ? (pair & 0xFFF) : (pair >> 4);
}

void SetFatEntry(std::span<std::byte> fat, unsigned cluster, unsigned value) {
    const std::size_t offset = cluster + cluster / 2;
    Le16 pair = LoadRecord<Le16>(fat, offset);
    if (cluster % 2 == 0) {
        pair.Set(static_cast<std::uint16_t>((pair.Get() & 0xF000) | (value & 0xFFF)));
    } else {
        pair.Set(static_cast<std::uint16_t>((pair.Get() & 0x000F) | ((value & 0xFFF) << 4)));
    }
    StoreRecord(fat, offset, pair);
}

}  // namespace quarnex::fat12
