#include "support/fake_drive_catalog.hpp"

#include <algorithm>

namespace quarnex::testing {

const FakeDrive* FakeDriveCatalog::Find(const std::string& name) const {
    const auto found = std::ranges::find(drives, name, &FakeDrive::name);
    return found == drives.end() ? nullptr : &*found;
}

std::vector<DriveListEntry> FakeDriveCatalog::DriveList() {
    std::vector<DriveListEntry> list;
    for (const FakeDrive& drive : drives) {
        list.push_back(DriveListEntry{drive.name});
    }
    return list;
}

DriveKind FakeDriveCatalog::GetDriveType(const std::string& drive) {
    return Find(drive) == nullptr ? DriveKind::NoRoot : Find(drive)->kind;
}

std::string FakeDriveCatalog::VolumePath(const std::string& drive) {
    return Find(drive) == nullptr ? "/nonexistent/" + drive : Find(drive)->path;
}

std::optional<PhysicalDrive> FakeDriveCatalog::WholeDiskOf(const std::string& drive, int& error) {
    const FakeDrive* found = Find(drive);
    if (found == nullptr || found->number < 0) {
        error = found == nullptr ? 19 : found->numberError;
        return std::nullopt;
    }
    return PhysicalDrive{found->number, found->path};
}

}  // namespace quarnex::testing
