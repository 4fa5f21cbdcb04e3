#include "platform/udisks/udisks_drive_catalog.hpp"

#include <algorithm>

#include "core/text.hpp"

namespace quarnex {

namespace {

bool IsFloppyEntry(const std::string& name) {
    return name == "A:" || name == "B:";
}

}  // namespace

std::optional<UdisksDriveCatalog::Found> UdisksDriveCatalog::FindIn(const UdisksObjects& objects,
                                                                    const std::string& drive) {
    const std::vector<const UdisksBlock*> offered = objects.Offered();
    for (std::size_t i = 0; i < offered.size(); ++i) {
        if (offered[i]->Name() == drive) {
            return Found{*offered[i], *objects.DriveOf(*offered[i]), static_cast<int>(i) + 1};
        }
    }
    return std::nullopt;
}

std::optional<UdisksDriveCatalog::Found> UdisksDriveCatalog::Find(const std::string& drive) {
    // A scan asks about the drives its drive list has just seen: one look at
    // the service serves them all. Other names are asked about afresh.
    if (const std::optional<UdisksObjects>& known = client_->Known()) {
        if (std::optional<Found> found = FindIn(*known, drive)) {
            return found;
        }
    }
    const std::optional<UdisksObjects> objects = client_->Objects();
    return objects ? FindIn(*objects, drive) : std::nullopt;
}

std::vector<DriveListEntry> UdisksDriveCatalog::DriveList() {
    // The floppy drives and the entry after them, which the scan never
    // examines, as the system lists them.
    std::vector<DriveListEntry> list;
    for (const DriveListEntry& entry : system_.DriveList()) {
        list.push_back(entry);
        if (!IsFloppyEntry(entry.name)) {
            break;
        }
    }
    const std::optional<UdisksObjects> objects = client_->Objects();
    for (const UdisksBlock* block :
         objects ? objects->Offered() : std::vector<const UdisksBlock*>{}) {
        const std::string name = block->Name();
        if (std::none_of(list.begin(), list.end(),
                         [&](const DriveListEntry& entry) { return entry.name == name; })) {
            list.push_back(DriveListEntry{name});
        }
    }
    return list;
}

DriveKind UdisksDriveCatalog::GetDriveType(const std::string& drive) {
    const std::optional<Found> found = Find(drive);
    if (!found) {
        return system_.GetDriveType(drive);
    }
    if (found->drive.optical) {
        return DriveKind::CdRom;
    }
    const std::string& bus = found->drive.connectionBus;
    return found->drive.removable || found->drive.mediaRemovable || bus == "usb" || bus == "sdio"
               ? DriveKind::Removable
               : DriveKind::Fixed;
}

std::string UdisksDriveCatalog::VolumePath(const std::string& drive) {
    const std::optional<Found> found = Find(drive);
    return found ? found->block.device : system_.VolumePath(drive);
}

std::optional<PhysicalDrive> UdisksDriveCatalog::WholeDiskOf(const std::string& drive, int& error) {
    const std::optional<Found> found = Find(drive);
    if (!found) {
        return system_.WholeDiskOf(drive, error);
    }
    return PhysicalDrive{found->number, found->block.device};
}

DriveDetails UdisksDriveCatalog::Details(const std::string& drive) {
    const std::optional<Found> found = Find(drive);
    if (!found) {
        return system_.Details(drive);
    }
    DriveDetails details;
    for (const std::string& part : {found->drive.vendor, found->drive.model}) {
        const std::string text = TrimSpaces(part);
        if (!text.empty()) {
            details.vendorModel += (details.vendorModel.empty() ? "" : " ") + text;
        }
    }
    details.sizeBytes = found->block.size != 0 ? found->block.size : found->drive.size;
    return details;
}

std::vector<std::string> UdisksDriveCatalog::MountPoints(const std::string& devicePath) {
    const std::optional<UdisksObjects> objects = client_->Objects();
    const UdisksBlock* disk = objects ? objects->BlockOf(devicePath) : nullptr;
    if (disk == nullptr) {
        return system_.MountPoints(devicePath);
    }
    std::vector<std::string> points;
    for (const UdisksBlock& block : objects->blocks) {
        if (block.object == disk->object || block.partitionTable == disk->object) {
            points.insert(points.end(), block.mountPoints.begin(), block.mountPoints.end());
        }
    }
    return points;
}

bool UdisksDriveCatalog::HasMedium(const std::string& drive) {
    const std::optional<Found> found = Find(drive);
    if (!found) {
        return system_.HasMedium(drive);
    }
    return !found->drive.mediaRemovable || found->drive.mediaAvailable;
}

bool UdisksDriveCatalog::KnowsDevice(const std::string& devicePath) {
    const std::optional<UdisksObjects> objects = client_->Objects();
    return objects && objects->BlockOf(devicePath) != nullptr;
}

int UdisksDriveCatalog::PowerOff(const std::string& devicePath) {
    const std::optional<UdisksObjects> objects = client_->Objects();
    const UdisksBlock* block = objects ? objects->BlockOf(devicePath) : nullptr;
    return block == nullptr ? ENODEV : client_->PowerOff(block->object);
}

}  // namespace quarnex
