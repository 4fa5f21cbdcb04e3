#pragma once
// A fake sysfs block tree, device folder and mount table under a scratch
// folder, for the POSIX drive catalog. Device nodes are regular files.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/posix/posix_device_backend.hpp"

namespace quarnex::testing {

struct FakeDisk {
    std::string name{};         // kernel name, e.g. "sdb"
    std::string dev{};          // "8:16"
    std::uint64_t sectors = 0;  // size in 512-byte units
    bool removable = false;     // the removable flag
    bool usb = false;           // the disk sits below a USB host controller
    std::string vendor{};       // device/vendor, written when not empty
    std::string model{};        // device/model, written when not empty
    std::string scsiType{};     // device/type, written when not empty ("5" = optical)
};

class FakeBlockTree {
  public:
    // Creates base/sys, base/dev and an empty base/mountinfo.
    explicit FakeBlockTree(const std::string& base);

    PosixRoots Roots() const;

    void AddDisk(const FakeDisk& disk);
    void AddPartition(const std::string& disk, const std::string& name, const std::string& dev,
                      std::uint64_t sectors = 2048);
    // Marks disk as built on another (a device-mapper disk over a partition).
    void AddSlave(const std::string& disk, const std::string& below);

    std::string Node(const std::string& name) const { return dev_ + "/" + name; }
    // The node as a regular file holding these bytes.
    void WriteNode(const std::string& name, const std::vector<unsigned char>& bytes);

    // Appends a line to the mount table.
    void Mount(const std::string& dev, const std::string& mountPoint, const std::string& source,
               const std::string& fsType = "vfat");

  private:
    std::string base_;
    std::string sys_;
    std::string dev_;
    std::string mountInfo_;
    int nextMountId_ = 20;
};

}  // namespace quarnex::testing
