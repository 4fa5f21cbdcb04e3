#include "fat12/fat12_layout.hpp"

namespace quarnex::fat12 {

std::uint16_t Get16(std::span<const std::byte> bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes[offset]) |
                                      (std::to_integer<unsigned>(bytes[offset + 1]) << 8));
}

std::uint32_t Get32(std::span<const std::byte> bytes, std::size_t offset) {
    return std::uint32_t{Get16(bytes, offset)} | (std::uint32_t{Get16(bytes, offset + 2)} << 16);
}

void Put16(std::span<std::byte> bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<std::byte>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::byte>(value >> 8);
}

void Put32(std::span<std::byte> bytes, std::size_t offset, std::uint32_t value) {
    Put16(bytes, offset, static_cast<std::uint16_t>(value & 0xFFFF));
    Put16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

// Two entries share three bytes: an even cluster takes the low 12 bits of the
// pair, an odd one the high 12.
unsigned GetFatEntry(std::span<const std::byte> fat, unsigned cluster) {
    const std::size_t offset = cluster + cluster / 2;
    const unsigned pair = Get16(fat, offset);
    return (cluster % 2 == 0) ? (pair & 0xFFF) : (pair >> 4);
}

void SetFatEntry(std::span<std::byte> fat, unsigned cluster, unsigned value) {
    const std::size_t offset = cluster + cluster / 2;
    unsigned pair = Get16(fat, offset);
    if (cluster % 2 == 0) {
        pair = (pair & 0xF000) | (value & 0xFFF);
    } else {
        pair = (pair & 0x000F) | ((value & 0xFFF) << 4);
    }
    Put16(fat, offset, static_cast<std::uint16_t>(pair));
}

}  // namespace quarnex::fat12
