#pragma once
// A drive catalog whose drives the test lists by hand; each drive's volume is
// whatever path the test gives (usually a regular file).

#include <algorithm>
#include <string>
#include <vector>

#include "ports/drive_catalog.hpp"

namespace quarnex::testing {

struct FakeDrive {
    std::string name;
    std::string path;
    DriveKind kind = DriveKind::Removable;
    int number = -1;       // whole-disk number; -1 makes WholeDiskOf fail
    int numberError = 19;  // ENODEV when the number is unknown
};

class FakeDriveCatalog final : public DriveCatalog {
  public:
    std::vector<FakeDrive> drives;
    std::vector<std::string> mountPoints;
    std::string rightsProbePath = "/nonexistent/probe";
    std::string floppyA = "/nonexistent/fd0";
    std::string floppyB = "/nonexistent/fd1";
    std::string rightsAdvice;

    std::vector<DriveListEntry> DriveList() override;
    DriveKind GetDriveType(const std::string& drive) override;
    std::string VolumePath(const std::string& drive) override;
    std::optional<PhysicalDrive> WholeDiskOf(const std::string& drive, int& error) override;
    DriveDetails Details(const std::string&) override { return {}; }
    std::vector<std::string> MountPoints(const std::string&) override { return mountPoints; }
    std::string RightsProbePath() override { return rightsProbePath; }
    std::string RightsAdvice() override { return rightsAdvice; }
    // The drives' paths are devices, whatever they are on disk.
    bool KnowsDevice(const std::string& devicePath) override {
        return std::any_of(drives.begin(), drives.end(),
                           [&](const FakeDrive& d) { return d.path == devicePath; });
    }
    std::string FloppyPath(FloppyDrive drive) override {
        return drive == FloppyDrive::A ? floppyA : floppyB;
    }

  private:
    const FakeDrive* Find(const std::string& name) const;
};

}  // namespace quarnex::testing
