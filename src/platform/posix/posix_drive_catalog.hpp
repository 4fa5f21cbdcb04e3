#pragma once
// The drive list of a Linux system, read from sysfs and the mount table:
// floppy drives first ("A:" for fd0, "B:" for fd1), then one entry for the
// system disk, which the scan never examines, then the other whole disks in
// name order.

#include <string>
#include <vector>

#include "platform/posix/posix_device_backend.hpp"
#include "platform/posix/sysfs_block.hpp"
#include "ports/drive_catalog.hpp"

namespace quarnex {

// Stands for the system disk where no block device holds the root file
// system (containers, network roots).
inline constexpr const char* kNoSystemDisk = "(system disk)";

class PosixDriveCatalog final : public DriveCatalog {
  public:
    explicit PosixDriveCatalog(PosixRoots roots = {});

    std::vector<DriveListEntry> DriveList() override;
    std::vector<DriveListEntry> LoopDevices() override;
    DriveKind GetDriveType(const std::string& drive) override;
    std::string VolumePath(const std::string& drive) override;
    std::optional<PhysicalDrive> WholeDiskOf(const std::string& drive, int& error) override;
    DriveDetails Details(const std::string& drive) override;
    std::vector<std::string> MountPoints(const std::string& devicePath) override;
    std::string RightsProbePath() override;
    std::vector<std::string> RightsProbePaths() override;
    std::string FloppyPath(FloppyDrive drive) override;
    bool HasMedium(const std::string& drive) override;

  private:
    struct Layout {
        bool floppyA = false;
        bool floppyB = false;
        std::string rootDevice;  // disk or partition holding "/", empty when none
        std::string systemDisk;  // the whole disk behind it, empty when none
        std::vector<std::string> others;
    };

    Layout ReadLayout() const;
    std::string SystemDiskOf(const std::string& rootDevice) const;
    std::string RootDevice() const;
    // The whole disk a drive name stands for; empty for floppies, the
    // placeholder and unknown names.
    std::string DiskOf(const std::string& drive) const;
    std::string Node(const std::string& name) const { return roots_.devRoot + "/" + name; }

    PosixRoots roots_;
    SysfsBlock sys_;
};

}  // namespace quarnex
