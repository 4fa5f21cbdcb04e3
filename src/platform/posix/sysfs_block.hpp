#pragma once
// Reading the kernel's block-device tree under sysfs: the whole disks, their
// partitions, attributes, device numbers and the bus a disk sits on. Plain
// file reads, so a fake tree of ordinary files and folders works the same.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarnex {

struct DevNumber {
    unsigned major = 0;
    unsigned minor = 0;
    bool operator==(const DevNumber&) const = default;
};

// "8:17" (the format of the dev attribute and of mountinfo).
std::optional<DevNumber> ParseDevNumber(std::string_view text);

// Name order with digit runs compared as numbers: "sdb" < "sdc",
// "nvme0n2" < "nvme0n10".
bool NameOrderLess(std::string_view a, std::string_view b);

class SysfsBlock {
  public:
    explicit SysfsBlock(std::string sysRoot);

    // Every entry of block/ except loop, RAM and compressed-RAM devices, in
    // name order. Floppy drives (fd*) are included; callers set them apart.
    std::vector<std::string> WholeDisks() const;
    // The loop devices of block/, in name order.
    std::vector<std::string> LoopDevices() const;
    bool IsWholeDisk(const std::string& name) const;
    // The whole disk a partition belongs to; empty when name is no partition.
    std::string DiskOfPartition(const std::string& name) const;
    std::vector<std::string> Partitions(const std::string& disk) const;

    // First line of block/<name>/<attribute> (name may be "disk/partition"),
    // without trailing blanks; empty when the file is missing.
    std::optional<std::string> Attribute(const std::string& name,
                                         const std::string& attribute) const;
    std::optional<DevNumber> Number(const std::string& name) const;
    // The disk or partition with that number; empty when there is none.
    std::string NameOf(DevNumber number) const;
    // Size in 512-byte units, as the kernel counts it for every disk.
    std::optional<std::uint64_t> Sectors(const std::string& disk) const;
    // Whether the disk's device path runs through a USB host controller.
    bool OnUsbBus(const std::string& disk) const;
    // The devices a mapped disk (device-mapper, RAID) is built on.
    std::vector<std::string> Slaves(const std::string& disk) const;

  private:
    std::vector<std::string> Entries(bool (*keep)(std::string_view)) const;
    std::string BlockDir() const { return root_ + "/block"; }
    std::string PathOf(const std::string& name) const;

    std::string root_;
};

}  // namespace quarnex
