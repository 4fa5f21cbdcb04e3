#pragma once
// The boot sector of a FAT12 volume with its extended boot record, as stored.

#include <array>
#include <cstddef>

#include "fat12/little_endian.hpp"

namespace quarnex::fat12 {

struct BootSector {
    std::array<std::byte, 3> jump;
    std::array<std::byte, 8> oemName;
    Le16 bytesPerSector;
    std::byte sectorsPerCluster;
    Le16 reservedSectors;
    std::byte fatCount;
    Le16 rootEntries;
    Le16 totalSectors;  // 0 when the count needs the 32-bit field
    std::byte mediaDescriptor;
    Le16 sectorsPerFat;
    Le16 sectorsPerTrack;
    Le16 heads;
    Le32 hiddenSectors;
    Le32 totalSectors32;
    std::byte driveNumber;
    std::byte reserved;
    std::byte extendedSignature;  // kExtendedBootSignature: the next three fields are valid
    Le32 serialNumber;
    std::array<std::byte, 11> volumeLabel;
    std::array<std::byte, 8> fileSystemType;
    std::array<std::byte, 448> bootCode;
    std::array<std::byte, 2> signature;  // 55 AA
};

inline constexpr std::byte kExtendedBootSignature{0x29};
inline constexpr std::array<std::byte, 2> kBootSignature{std::byte{0x55}, std::byte{0xAA}};

// The boot sector's volume label: where the program reads a volume's ID.
inline constexpr std::size_t kBootLabelOffset = offsetof(BootSector, volumeLabel);

static_assert(sizeof(BootSector) == 512 && alignof(BootSector) == 1);
static_assert(offsetof(BootSector, jump) == 0);
static_assert(offsetof(BootSector, oemName) == 3);
static_assert(offsetof(BootSector, bytesPerSector) == 11);
static_assert(offsetof(BootSector, sectorsPerCluster) == 13);
static_assert(offsetof(BootSector, reservedSectors) == 14);
static_assert(offsetof(BootSector, fatCount) == 16);
static_assert(offsetof(BootSector, rootEntries) == 17);
static_assert(offsetof(BootSector, totalSectors) == 19);
static_assert(offsetof(BootSector, mediaDescriptor) == 21);
static_assert(offsetof(BootSector, sectorsPerFat) == 22);
static_assert(offsetof(BootSector, sectorsPerTrack) == 24);
static_assert(offsetof(BootSector, heads) == 26);
static_assert(offsetof(BootSector, hiddenSectors) == 28);
static_assert(offsetof(BootSector, totalSectors32) == 32);
static_assert(offsetof(BootSector, driveNumber) == 36);
static_assert(offsetof(BootSector, extendedSignature) == 38);
static_assert(offsetof(BootSector, serialNumber) == 39);
static_assert(offsetof(BootSector, volumeLabel) == 43);
static_assert(offsetof(BootSector, fileSystemType) == 54);
static_assert(offsetof(BootSector, bootCode) == 62);
static_assert(offsetof(BootSector, signature) == 510);

}  // namespace quarnex::fat12
