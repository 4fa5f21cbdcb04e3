#include "scan/drive_scan.hpp"

#include <array>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "fat12/boot_sector.hpp"
#include "fat12/geometry.hpp"
#include "state/progress.hpp"
#include "state/reported_io.hpp"

namespace quarnex {

namespace {

constexpr char kFat12Type[] = "FAT12   ";

// Floppy entries are exactly "A:" and "B:". Testing the first character alone
// would take a disk named like "bcache0" for drive B: and shift every index
// of the scan after it.
bool IsFloppyEntry(const std::string& name, char letter) {
    return name.size() == 2 && (name[0] == letter || name[0] == letter + ('a' - 'A')) &&
           name[1] == ':';
}

// The node of the whole disk behind a drive whose number is already known.
std::string WholeDiskPath(DriveCatalog& drives, const std::string& drive) {
    int error = 0;
    const std::optional<PhysicalDrive> disk = drives.WholeDiskOf(drive, error);
    return disk ? disk->nodePath : std::string();
}

// Reads the drive's first sector and, when it begins a store, enters the
// drive as the next row of the device table. The handle is closed whatever
// happens.
void ExamineDrive(OperationPorts& ports, DeviceTable& table, const std::string& drive, int number) {
    const std::string path = WholeDiskPath(ports.drives, drive);
    Result<DevHandle> handle =
        GetHandle(ports, path, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    if (!handle) {
        return;
    }
    std::array<std::byte, kBootSectorBytes> sector{};
    if (ReadSectorAndReport(ports, handle.Value(), sector, 0, kBootSectorBytes, 0,
                            Reporting::Quiet) &&
        IsStoreBootSector(sector)) {
        table.count += 1;
        DeviceEntry& row = table.Row(table.count);
        const DriveDetails details = ports.drives.Details(drive);
        row.name = drive;
        row.path = path;
        row.driveNumber = number;
        row.vendorModel = details.vendorModel;
        row.sizeBytes = details.sizeBytes;
    }
}

}  // namespace

bool IsStoreBootSector(std::span<const std::byte, kBootSectorBytes> sector) {
    const auto boot = fat12::LoadRecord<fat12::BootSector>(sector, 0);
    return boot.totalSectors.Get() == fat12::kTotalSectors &&
           std::memcmp(boot.fileSystemType.data(), kFat12Type, boot.fileSystemType.size()) == 0;
}

FloppyState FindFloppyDrives(DriveCatalog& drives) {
    // Read afresh: a drive may have come or gone since the last look.
    const std::vector<DriveListEntry> list = drives.DriveList();
    FloppyState floppies;
    for (const DriveListEntry& entry : list) {
        if (IsFloppyEntry(entry.name, 'A')) {
            floppies.hasDriveA = true;
            floppies.driveCount += 1;
        } else if (IsFloppyEntry(entry.name, 'B')) {
            floppies.hasDriveB = true;
            floppies.driveCount += 1;
        }
    }
    return floppies;
}

bool ScanDrives(OperationPorts& ports, DeviceTable& table, FloppyState& floppies,
                LoopDevices loopDevices) {
    floppies = FindFloppyDrives(ports.drives);
    std::vector<DriveListEntry> list = ports.drives.DriveList();
    const int drives = static_cast<int>(list.size());
    if (loopDevices == LoopDevices::Include) {
        for (DriveListEntry& loop : ports.drives.LoopDevices()) {
            list.push_back(std::move(loop));
        }
    }
    const int count = static_cast<int>(list.size());
    const int floppyCount = floppies.driveCount;
    // An empty list has no percentage to show (and would divide by zero).
    if (count > 0) {
        ports.progress.UnitDone(floppyCount, count);
    }
    table.count = 0;
    // Nothing after the floppy drives and the system disk: stop, leaving the
    // percentage shown and the window as it is.
    if (count <= floppyCount + 1) {
        return false;
    }
    // The entry right after the floppy drives is the system disk, never
    // examined.
    for (int i = floppyCount + 1; i < count; ++i) {
        const std::string& drive = list[static_cast<std::size_t>(i)].name;
        ports.progress.Doing(Activity{.kind = ActivityKind::ScanDrive, .device = drive});
        // A loop device is never removable; it was asked for by name.
        const bool candidate =
            i >= drives || ports.drives.GetDriveType(drive) == DriveKind::Removable;
        if (candidate && ports.drives.HasMedium(drive)) {
            const int number = GetPhysicalDriveNumber(ports, drive);
            if (number >= 0) {
                ExamineDrive(ports, table, drive, number);
            }
        }
        ports.progress.UnitDone(i + 1, count);
        if (table.count == kMaxDevices) {
            break;
        }
    }
    ports.progress.Doing(Activity{.kind = ActivityKind::ScanDrives});
    ports.progress.Finished();
    return true;
}

}  // namespace quarnex
