#pragma once
// The udisks2 service as this program uses it, over D-Bus (sdbus-c++): its
// block devices and drives, opening a whole disk (polkit asks the user),
// unmounting and powering off. Shared by the drive catalog and the device
// backend of this folder.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sdbus {
class IConnection;
}

namespace quarnex {

// Errors of the service, beside the system's error numbers (which stay
// below this range): a refusal by polkit, and any other failure, whose
// message the client keeps.
inline constexpr int kUdisksNotAuthorized = 0x10001;
inline constexpr int kUdisksFailed = 0x10002;

struct UdisksDrive {
    bool removable = false;
    bool mediaAvailable = true;
    bool mediaRemovable = false;
    bool optical = false;  // compatible with optical media: never a store
    std::string vendor;
    std::string model;
    std::string serial;
    std::string connectionBus;  // "usb", "sdio", "ieee1394" or empty
    std::uint64_t size = 0;
};

struct UdisksBlock {
    std::string object;  // its D-Bus object path
    std::string device;  // e.g. "/dev/sdb"
    std::string preferredDevice;
    std::vector<std::string> symlinks;
    std::uint64_t size = 0;
    std::string drive;  // object path of its drive; "/" when it has none
    bool hintSystem = false;
    bool hintIgnore = false;
    bool readOnly = false;
    std::string partitionTable;  // for a partition, the object of its whole disk
    bool hasFilesystem = false;
    std::vector<std::string> mountPoints;

    // Its kernel name, as the drive list shows it ("sdb").
    std::string Name() const;
    bool Names(const std::string& path) const;
};

struct UdisksObjects {
    std::vector<UdisksBlock> blocks;  // in object path order
    std::map<std::string, UdisksDrive> drives;

    const UdisksBlock* BlockOf(const std::string& devicePath) const;
    const UdisksDrive* DriveOf(const UdisksBlock& block) const;
    // Whole disks that may hold a store: on a drive, neither a system
    // device nor one the system says to ignore.
    std::vector<const UdisksBlock*> Offered() const;
};

class UdisksClient {
  public:
    // Connects to the system bus, or to the bus at QUARNEX_UDISKS_BUS when
    // that is set (tests run a stand-in service on a private bus). Null
    // when there is no bus or no udisks2 service on it.
    static std::unique_ptr<UdisksClient> Connect();
    ~UdisksClient();
    UdisksClient(const UdisksClient&) = delete;
    UdisksClient& operator=(const UdisksClient&) = delete;

    // Every block device and drive, asked for afresh; empty after a failed
    // call. What it returns is also kept for Known.
    std::optional<UdisksObjects> Objects();
    // What the last Objects call returned, without asking the service; empty
    // before the first. Right for finding a device by its name or path, which
    // stay while it is plugged in, wrong for what changes (mount points): a
    // scan asks once and then looks its drives up here.
    const std::optional<UdisksObjects>& Known() const { return known_; }
    // Opens a block device ("r", "w" or "rw"); the descriptor (close on
    // exec) or -1 with the error in error.
    int OpenDevice(const std::string& object, const std::string& mode, int& error);
    // Unmounts every mounted file system of the whole disk object and of its
    // partitions; 0 or an error.
    int UnmountAll(const std::string& object);
    // Unmounts, then powers the drive of the whole disk off; 0 or an error.
    int PowerOff(const std::string& object);
    // The text of an error above; empty for system error numbers.
    std::string ErrorText(int code) const;

  private:
    explicit UdisksClient(std::unique_ptr<sdbus::IConnection> connection);
    int Unmount(const UdisksObjects& objects, const std::string& object);
    // Calls a method that takes only options and returns nothing; 0 or an error.
    int CallWithOptions(const std::string& object, const char* interface, const char* method);

    std::unique_ptr<sdbus::IConnection> connection_;
    std::string lastFailure_;
    std::optional<UdisksObjects> known_;
};

}  // namespace quarnex
