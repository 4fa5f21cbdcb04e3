#pragma once
// The drive letters Windows reports (GetLogicalDrives), their types
// (GetDriveTypeW), the physical drive behind each (device numbers) and what
// the drive says of itself (storage property query). The disk Windows runs
// from is never offered as removable.

#include "ports/drive_catalog.hpp"

namespace quarnex {

class Win32DriveCatalog final : public DriveCatalog {
  public:
    std::vector<DriveListEntry> DriveList() override;
    DriveKind GetDriveType(const std::string& drive) override;
    std::string VolumePath(const std::string& drive) override;
    std::optional<PhysicalDrive> WholeDiskOf(const std::string& drive, int& error) override;
    DriveDetails Details(const std::string& drive) override;
    std::vector<std::string> MountPoints(const std::string& devicePath) override;
    std::string RightsProbePath() override { return "\\\\.\\C:"; }
    std::string FloppyPath(FloppyDrive drive) override { return "\\\\.\\" + DriveText(drive); }
    bool KnowsDevice(const std::string& devicePath) override;
    bool HoldsRunningSystem(const std::string& devicePath) override;
    std::string RightsAdvice() override;
};

}  // namespace quarnex
