#pragma once
// The serial number in the boot sector, by which systems tell volumes apart
// (Linux names /dev/disk/by-uuid after it): every volume the program formats
// gets its own.

#include <cstddef>
#include <cstdint>
#include <span>

#include "fat12/boot_sector.hpp"
#include "fat12/dir_entry.hpp"

namespace quarnex::fat12 {

inline constexpr std::size_t kSerialOffset = offsetof(BootSector, serialNumber);
// The slots run below this; numbers from here up name volumes outside a
// store, such as the internal image.
inline constexpr unsigned kSerialSlots = 1024;

// Like DOS, the serial comes from the date and time of formatting; the slot
// (below kSerialSlots) is mixed in so that one format's slots differ. It
// counts whole seconds since 1980 rather than summing date and time fields as
// DOS does, so that no two (second, slot) pairs within 48 days share a
// number, then scrambles the count so that the numbers look unrelated.
std::uint32_t VolumeSerialNumber(const Stamp& formatted, unsigned slot);

// Writes serial into the boot sector; false, and nothing written, when image
// is too short to hold it.
bool WriteVolumeSerial(std::span<std::byte> image, std::uint32_t serial);

}  // namespace quarnex::fat12
