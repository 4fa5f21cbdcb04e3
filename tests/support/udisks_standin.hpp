#pragma once
// A stand-in udisks2 service on a private bus that the test starts itself:
// dbus-daemon with its own configuration, the service a python3-dbusmock
// template (udisks_standin.py) whose disks are image files. While it runs,
// QUARNEX_UDISKS_BUS names its bus, for this process and the programs it
// starts.

#include <sys/types.h>

#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace quarnex::testing {

struct StandInDisk {
    std::string name;   // the block device is /dev/<name>
    std::string image;  // whose descriptor OpenDevice hands out
    std::string flags;  // "refuse", "system", "ignore", "stuck" or empty
    std::string mount;  // slot 0's mount point; empty when not mounted
};

class UdisksStandIn {
  public:
    // Why the stand-in cannot run here (dbus-daemon or python3-dbusmock
    // missing); empty when it can.
    static std::string Missing();

    explicit UdisksStandIn(const std::vector<StandInDisk>& disks);
    ~UdisksStandIn();
    UdisksStandIn(const UdisksStandIn&) = delete;
    UdisksStandIn& operator=(const UdisksStandIn&) = delete;

    // The calls the service saw, in order: "GetManagedObjects",
    // "OpenDevice <object> <mode>", "Unmount <object>", "PowerOff <object>".
    std::vector<std::string> Calls() const;

  private:
    TempDir dir_;
    pid_t bus_ = -1;
    pid_t service_ = -1;
};

}  // namespace quarnex::testing
