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

// Whether a scan looks at loop devices with a file attached too.
enum class LoopDevices { Skip, Include };
inline constexpr std::size_t kBootSectorBytes = sizeof(fat12::BootSector);

// Sets the floppy-drive state, then rebuilds the device table from nothing.
// Not cancellable; shows progress per drive. False when there was nothing
// past the floppy drives and the system disk to look at: the scan then
// stops with the display as it is. With Include, the loop devices that
// have a file attached are looked at too, after the drives.
bool ScanDrives(Context& ctx, LoopDevices loopDevices = LoopDevices::Skip);

// Sets the floppy-drive state from the drive list as it is now.
void CheckFloppyDrives(Context& ctx);

// Total sector count 2880 and file system type "FAT12   ", byte for byte.
bool IsStoreBootSector(std::span<const std::byte, kBootSectorBytes> sector);

}  // namespace quarnex
