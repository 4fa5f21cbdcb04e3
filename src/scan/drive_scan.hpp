#pragma once
// Finding the stores: every removable drive whose first sector is the boot
// sector of a 1.44 MB FAT12 floppy, up to four, and the floppy drives A: and
// B:, which decide the Image menu's raw floppy commands.

#include <cstddef>
#include <span>

#include "fat12/boot_sector.hpp"
#include "state/device_table.hpp"
#include "state/operation_ports.hpp"

namespace quarnex {

inline constexpr int kMaxDevices = 4;

// Whether a scan looks at loop devices with a file attached too.
enum class LoopDevices { Skip, Include };
inline constexpr std::size_t kBootSectorBytes = sizeof(fat12::BootSector);

// Finds the floppy drives, then rebuilds the device table from nothing.
// Not cancellable; shows progress per drive. False when there was nothing
// past the floppy drives and the system disk to look at: the scan then
// stops with the display as it is. With Include, the loop devices that
// have a file attached are looked at too, after the drives.
bool ScanDrives(OperationPorts& ports, DeviceTable& table, FloppyState& floppies,
                LoopDevices loopDevices = LoopDevices::Skip);

// The floppy drives in the drive list as it is now.
FloppyState FindFloppyDrives(DriveCatalog& drives);

// Total sector count 2880 and file system type "FAT12   ", byte for byte.
bool IsStoreBootSector(std::span<const std::byte, kBootSectorBytes> sector);

}  // namespace quarnex
