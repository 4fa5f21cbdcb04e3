#pragma once
// The drive list as udisks2 sees it, for a program that does not run as
// root: the floppy drives and the system disk entry as the system lists
// them, then the whole disks the service offers (no system or ignored
// devices), in name order.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix/posix_drive_catalog.hpp"
#include "platform/udisks/udisks_client.hpp"
#include "ports/drive_catalog.hpp"

namespace quarnex {

class UdisksDriveCatalog final : public DriveCatalog {
  public:
    explicit UdisksDriveCatalog(std::shared_ptr<UdisksClient> client)
        : client_(std::move(client)) {}

    std::vector<DriveListEntry> DriveList() override;
    DriveKind GetDriveType(const std::string& drive) override;
    std::string VolumePath(const std::string& drive) override;
    std::optional<PhysicalDrive> WholeDiskOf(const std::string& drive, int& error) override;
    DriveDetails Details(const std::string& drive) override;
    std::vector<std::string> MountPoints(const std::string& devicePath) override;
    std::string RightsProbePath() override { return {}; }
    std::vector<std::string> RightsProbePaths() override { return {}; }
    std::string FloppyPath(FloppyDrive drive) override { return system_.FloppyPath(drive); }
    bool HasMedium(const std::string& drive) override;
    bool AccessThroughService() override { return true; }
    bool KnowsDevice(const std::string& devicePath) override;
    int PowerOff(const std::string& devicePath) override;
    bool CanPowerOff() override { return true; }

  private:
    // A whole disk the service offers, with its drive and its number among
    // them (from 1, as the system disk is 0); empty for other names.
    struct Found {
        UdisksBlock block;
        UdisksDrive drive;
        int number = 0;
    };
    static std::optional<Found> FindIn(const UdisksObjects& objects, const std::string& drive);
    std::optional<Found> Find(const std::string& drive);

    std::shared_ptr<UdisksClient> client_;
    PosixDriveCatalog system_;  // floppy drives, the system disk, partitions
};

}  // namespace quarnex
