#pragma once
// Finding the stores: every removable drive whose first sector is the boot
// sector of a 1.44 MB FAT12 floppy, up to four, and the floppy drives A: and
// B:, which decide the Image menu's raw floppy commands.

#include <cstddef>
#include <span>

#include "fat12/boot_sector.hpp"
#include "state/context.hpp"

namespace quarnex {

inline constexpr int kMaxDevices = 4;
inline constexpr std::size_t kBootSectorBytes = sizeof(fat12::BootSector);

// Rebuilds the device table from nothing and shows the result in the main
// window. Not cancellable; shows progress per drive.
void ScanDrives(Context& ctx);

// Sets the floppy-drive state and shows or hides the raw floppy entries of
// the Image menu and their separators.
void CheckFloppyDrives(Context& ctx);

// Total sector count 2880 and file system type "FAT12   ", byte for byte.
bool IsStoreBootSector(std::span<const std::byte, kBootSectorBytes> sector);

}  // namespace quarnex
