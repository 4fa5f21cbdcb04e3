#include "platform/posix/posix_drive_catalog.hpp"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "platform/posix/mount_table.hpp"

namespace quarnex {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDriveA = "A:";
constexpr const char* kDriveB = "B:";
// Mapped devices sit on others that may themselves be mapped; a loop in a
// broken tree must not hang the scan.
constexpr int kMaxMappingDepth = 8;

std::vector<MountEntry> ReadMounts(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return ParseMountInfo(text.str());
}

bool IsFloppyName(const std::string& name) {
    return name.size() > 2 && name.compare(0, 2, "fd") == 0 &&
           std::all_of(name.begin() + 2, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Vendor and model as the device reports them, for the user to recognise it.
// Bus ids such as "0x1af4" say nothing to a user and are left out.
std::string JoinVendorModel(const std::optional<std::string>& vendor,
                            const std::optional<std::string>& model) {
    std::string result;
    for (const std::optional<std::string>& part : {vendor, model}) {
        const std::string text = part ? TrimSpaces(*part) : std::string();
        if (text.empty() || text.compare(0, 2, "0x") == 0) {
            continue;
        }
        result += (result.empty() ? "" : " ") + text;
    }
    return result;
}

}  // namespace

PosixDriveCatalog::PosixDriveCatalog(PosixRoots roots)
    : roots_(std::move(roots)), sys_(roots_.sysRoot) {}

std::string PosixDriveCatalog::RootDevice() const {
    const std::vector<MountEntry> mounts = ReadMounts(roots_.mountInfo);
    // The last mount on "/" is the one in use.
    auto root = std::find_if(mounts.rbegin(), mounts.rend(),
                             [](const MountEntry& m) { return m.mountPoint == "/"; });
    if (root == mounts.rend()) {
        return {};
    }
    if (root->major != 0) {
        std::string name = sys_.NameOf(DevNumber{root->major, root->minor});
        if (!name.empty()) {
            return name;
        }
    }
    // File systems such as btrfs report a private device number; the source
    // then names the device, possibly through a link (/dev/mapper/root).
    const std::string devPrefix = "/dev/";
    if (root->source.compare(0, devPrefix.size(), devPrefix) != 0) {
        return {};
    }
    const fs::path node = roots_.devRoot + "/" + root->source.substr(devPrefix.size());
    std::error_code ec;
    const fs::path resolved = fs::canonical(node, ec);
    const std::string name = (ec ? node : resolved).filename().string();
    if (sys_.IsWholeDisk(name) || !sys_.DiskOfPartition(name).empty()) {
        return name;
    }
    return {};
}

std::string PosixDriveCatalog::SystemDiskOf(const std::string& rootDevice) const {
    std::string disk = sys_.IsWholeDisk(rootDevice) ? rootDevice : sys_.DiskOfPartition(rootDevice);
    // A root on a mapped device (LVM, encryption, RAID) lives on the disk
    // beneath it.
    for (int depth = 0; depth < kMaxMappingDepth && !disk.empty(); ++depth) {
        const std::vector<std::string> slaves = sys_.Slaves(disk);
        if (slaves.empty()) {
            break;
        }
        const std::string& slave = slaves.front();
        const std::string below = sys_.IsWholeDisk(slave) ? slave : sys_.DiskOfPartition(slave);
        if (below.empty()) {
            break;
        }
        disk = below;
    }
    return disk;
}

PosixDriveCatalog::Layout PosixDriveCatalog::ReadLayout() const {
    Layout layout;
    layout.rootDevice = RootDevice();
    layout.systemDisk = layout.rootDevice.empty() ? std::string() : SystemDiskOf(layout.rootDevice);
    for (std::string& disk : sys_.WholeDisks()) {
        if (disk == "fd0") {
            layout.floppyA = true;
        } else if (disk == "fd1") {
            layout.floppyB = true;
        } else if (!IsFloppyName(disk) && disk != layout.systemDisk) {
            layout.others.push_back(std::move(disk));
        }
    }
    return layout;
}

std::vector<DriveListEntry> PosixDriveCatalog::DriveList() {
    const Layout layout = ReadLayout();
    std::vector<DriveListEntry> list;
    if (layout.floppyA) {
        list.push_back(DriveListEntry{kDriveA});
    }
    if (layout.floppyB) {
        list.push_back(DriveListEntry{kDriveB});
    }
    list.push_back(DriveListEntry{layout.systemDisk.empty() ? kNoSystemDisk : layout.systemDisk});
    for (const std::string& disk : layout.others) {
        list.push_back(DriveListEntry{disk});
    }
    return list;
}

std::vector<DriveListEntry> PosixDriveCatalog::LoopDevices() {
    std::vector<DriveListEntry> list;
    for (std::string& loop : sys_.LoopDevices()) {
        // A loop device without a file has a size of 0.
        const std::optional<std::uint64_t> sectors = sys_.Sectors(loop);
        if (sectors && *sectors != 0) {
            list.push_back(DriveListEntry{std::move(loop)});
        }
    }
    return list;
}

std::string PosixDriveCatalog::DiskOf(const std::string& drive) const {
    if (drive == kNoSystemDisk || IsFloppyName(drive)) {
        return {};
    }
    return sys_.IsWholeDisk(drive) ? drive : sys_.DiskOfPartition(drive);
}

DriveKind PosixDriveCatalog::GetDriveType(const std::string& drive) {
    if (drive == kDriveA || drive == kDriveB) {
        return sys_.IsWholeDisk(drive == kDriveA ? "fd0" : "fd1") ? DriveKind::Removable
                                                                  : DriveKind::NoRoot;
    }
    if (drive == kNoSystemDisk) {
        return DriveKind::Fixed;
    }
    const std::string disk = DiskOf(drive);
    if (disk.empty()) {
        return DriveKind::NoRoot;
    }
    // Optical drives report themselves removable; they never hold a store.
    if (disk.compare(0, 2, "sr") == 0 || sys_.Attribute(disk, "device/type") == "5") {
        return DriveKind::CdRom;
    }
    if (sys_.Attribute(disk, "removable") == "1" || sys_.OnUsbBus(disk)) {
        return DriveKind::Removable;
    }
    return DriveKind::Fixed;
}

std::string PosixDriveCatalog::VolumePath(const std::string& drive) {
    if (drive == kDriveA || drive == kDriveB) {
        return FloppyPath(drive == kDriveB ? FloppyDrive::B : FloppyDrive::A);
    }
    return drive == kNoSystemDisk ? std::string() : Node(drive);
}

std::optional<PhysicalDrive> PosixDriveCatalog::WholeDiskOf(const std::string& drive, int& error) {
    const std::string disk = DiskOf(drive);
    const Layout layout = ReadLayout();
    // Numbered like the system's physical drives: the system disk 0, the
    // others from 1 in list order.
    if (!disk.empty() && disk == layout.systemDisk) {
        return PhysicalDrive{0, Node(disk)};
    }
    const auto found = std::find(layout.others.begin(), layout.others.end(), disk);
    if (!disk.empty() && found != layout.others.end()) {
        return PhysicalDrive{static_cast<int>(found - layout.others.begin()) + 1, Node(disk)};
    }
    // Loop devices are numbered after the disks.
    const std::vector<std::string> loops = sys_.LoopDevices();
    const auto loop = std::find(loops.begin(), loops.end(), disk);
    if (disk.empty() || loop == loops.end()) {
        error = ENODEV;
        return std::nullopt;
    }
    return PhysicalDrive{static_cast<int>(layout.others.size() + (loop - loops.begin())) + 1,
                         Node(disk)};
}

DriveDetails PosixDriveCatalog::Details(const std::string& drive) {
    std::string name = drive;
    if (drive == kDriveA || drive == kDriveB) {
        name = drive == kDriveA ? "fd0" : "fd1";
    }
    const std::string disk = sys_.IsWholeDisk(name) ? name : sys_.DiskOfPartition(name);
    DriveDetails details;
    if (disk.empty()) {
        return details;
    }
    std::optional<std::string> model = sys_.Attribute(disk, "device/model");
    if (!model || TrimSpaces(*model).empty()) {
        model = sys_.Attribute(disk, "device/name");  // memory cards
    }
    details.vendorModel = JoinVendorModel(sys_.Attribute(disk, "device/vendor"), model);
    const std::optional<std::uint64_t> sectors = sys_.Sectors(name);
    details.sizeBytes = sectors ? *sectors * kSectorBytes : 0;
    return details;
}

std::vector<std::string> PosixDriveCatalog::MountPoints(const std::string& devicePath) {
    // Only a node of the device folder has a sysfs entry; a store file that
    // happens to share a disk's name must not take over its mounts.
    const std::string name = fs::path(devicePath).filename().string();
    const bool isNode = !name.empty() && devicePath == Node(name);
    std::vector<DevNumber> numbers;
    std::vector<std::string> sources{devicePath};
    if (const std::optional<DevNumber> own = isNode ? sys_.Number(name) : std::nullopt) {
        numbers.push_back(*own);
    }
    for (const std::string& partition :
         isNode ? sys_.Partitions(name) : std::vector<std::string>{}) {
        if (const std::optional<DevNumber> number = sys_.Number(partition)) {
            numbers.push_back(*number);
        }
        sources.push_back(Node(partition));
    }
    struct stat info {};
    if (::stat(devicePath.c_str(), &info) == 0 && S_ISBLK(info.st_mode)) {
        numbers.push_back(DevNumber{major(info.st_rdev), minor(info.st_rdev)});
    }

    std::vector<std::string> points;
    for (const MountEntry& mount : ReadMounts(roots_.mountInfo)) {
        const DevNumber number{mount.major, mount.minor};
        const bool byNumber =
            mount.major != 0 && std::find(numbers.begin(), numbers.end(), number) != numbers.end();
        const bool bySource =
            std::find(sources.begin(), sources.end(), mount.source) != sources.end();
        if ((byNumber || bySource) &&
            std::find(points.begin(), points.end(), mount.mountPoint) == points.end()) {
            points.push_back(mount.mountPoint);
        }
    }
    return points;
}

std::string PosixDriveCatalog::RightsProbePath() {
    const std::vector<std::string> paths = RightsProbePaths();
    return paths.empty() ? std::string() : paths.front();
}

std::vector<std::string> PosixDriveCatalog::RightsProbePaths() {
    // The root file system's device first. Then the fixed disks (opening an
    // optical or removable drive could move a tray or wake a reader), and
    // last the loop devices: they need the same rights as disks, and a
    // container may deny its own root disk even to root while granting them.
    const Layout layout = ReadLayout();
    std::vector<std::string> paths;
    if (!layout.rootDevice.empty()) {
        paths.push_back(Node(layout.rootDevice));
    }
    for (const std::string& disk : layout.others) {
        if (GetDriveType(disk) == DriveKind::Fixed) {
            paths.push_back(Node(disk));
        }
    }
    for (const std::string& loop : sys_.LoopDevices()) {
        paths.push_back(Node(loop));
    }
    return paths;
}

std::string PosixDriveCatalog::FloppyPath(FloppyDrive drive) {
    return Node(drive == FloppyDrive::B ? "fd1" : "fd0");
}

bool PosixDriveCatalog::HasMedium(const std::string& drive) {
    const std::string disk = DiskOf(drive);
    if (disk.empty()) {
        return true;
    }
    // An empty card reader reports a size of 0.
    const std::optional<std::uint64_t> sectors = sys_.Sectors(drive);
    return !sectors || *sectors != 0;
}

}  // namespace quarnex
