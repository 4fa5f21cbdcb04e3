#pragma once
// The platform's list of drives and what it knows about them: which are
// floppy drives, which are removable, which whole disk a drive lives on and
// where its file systems are mounted.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quarnex {

enum class DriveKind { Unknown, NoRoot, Removable, Fixed, Remote, CdRom, RamDisk };

struct DriveListEntry {
    // What the drive list shows: "A:" and "B:" for the floppy drives, then
    // kernel names ("sda", "sdb"); the entry after the floppies stands for
    // the system disk, which the scan never examines.
    std::string name;
};

struct PhysicalDrive {
    int number = -1;       // stable number of the whole disk
    std::string nodePath;  // its device node, e.g. "/dev/sdb"
};

struct DriveDetails {
    std::string vendorModel;  // e.g. "SanDisk Cruzer Blade"; empty where unknown
    std::uint64_t sizeBytes = 0;
};

// The two floppy drives, as the user names them: "A:" and "B:".
enum class FloppyDrive : char { A = 'A', B = 'B' };
inline std::string DriveText(FloppyDrive drive) {
    return std::string(1, static_cast<char>(drive)) + ":";
}
// The drive a user's letter names: B for 'B', A otherwise.
inline FloppyDrive FloppyDriveOf(char letter) {
    return letter == 'B' ? FloppyDrive::B : FloppyDrive::A;
}

// How a system names what a store may be, for help texts.
struct DeviceNaming {
    const char* wholeStick;  // e.g. "a block device node (the whole stick, e.g. /dev/sdb)"
    bool loopDevices;        // store images can be attached as devices
};

class DriveCatalog {
  public:
    virtual ~DriveCatalog() = default;
    DriveCatalog() = default;
    DriveCatalog(const DriveCatalog&) = delete;
    DriveCatalog& operator=(const DriveCatalog&) = delete;

    virtual std::vector<DriveListEntry> DriveList() = 0;
    // Loop devices with a file attached (an image attached with losetup),
    // which the drive list leaves out: a scan looks at them only on request.
    virtual std::vector<DriveListEntry> LoopDevices() { return {}; }
    virtual DriveKind GetDriveType(const std::string& drive) = 0;
    // The path that opens a drive's volume (the device node of the name).
    virtual std::string VolumePath(const std::string& drive) = 0;
    // The whole disk a drive lives on; empty with a system error when the
    // platform cannot tell.
    virtual std::optional<PhysicalDrive> WholeDiskOf(const std::string& drive, int& error) = 0;
    virtual DriveDetails Details(const std::string& drive) = 0;
    // Mount points of a device node and its partitions.
    virtual std::vector<std::string> MountPoints(const std::string& devicePath) = 0;
    // The path whose opening proves the rights needed for raw devices.
    virtual std::string RightsProbePath() = 0;
    // Every path whose opening proves those rights, best first: the probe
    // succeeds when any of them opens. A system may deny one device even to
    // a user who can open the others (a container's device rules).
    virtual std::vector<std::string> RightsProbePaths() {
        std::string path = RightsProbePath();
        return path.empty() ? std::vector<std::string>{} : std::vector<std::string>{path};
    }
    // The device that opens a floppy drive.
    virtual std::string FloppyPath(FloppyDrive drive) = 0;
    // False when the platform knows the drive holds no medium (an empty card
    // reader). Where a system refuses to open such a drive at all, this is
    // what lets the scan pass it by without an error message.
    virtual bool HasMedium(const std::string& /*drive*/) { return true; }
    // True where raw devices are granted one at a time by a system service
    // that asks the user (udisks2 with polkit): there are no rights to probe.
    virtual bool AccessThroughService() { return false; }
    // Whether path names a whole disk that the platform reaches although no
    // file of that name exists (a service's device, "\\.\PhysicalDrive2").
    virtual bool KnowsDevice(const std::string& /*devicePath*/) { return false; }
    // Whether the running system's own file systems live on that disk.
    virtual bool HoldsRunningSystem(const std::string& devicePath) {
        const std::vector<std::string> points = MountPoints(devicePath);
        return std::find(points.begin(), points.end(), "/") != points.end();
    }
    // What a user whose rights do not reach raw devices must do; empty where
    // the error of the open says enough.
    virtual std::string RightsAdvice() { return {}; }
    // Makes the drive holding a whole disk safe to unplug: its file systems
    // unmounted, the drive powered off. 0, or an error for the device
    // backend's ErrorText.
    virtual int PowerOff(const std::string& /*devicePath*/) { return ENOTSUP; }
    // Whether PowerOff can work here at all.
    virtual bool CanPowerOff() { return false; }
};

}  // namespace quarnex
