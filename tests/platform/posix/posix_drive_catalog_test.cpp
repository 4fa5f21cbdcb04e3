// The Linux drive list, drive types, disk mapping, details and mount points,
// read from fake sysfs/dev/mountinfo trees.

#include "platform/posix/posix_drive_catalog.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <tuple>
#include <utility>

#include "platform/posix/sysfs_block.hpp"
#include "support/fake_block_tree.hpp"
#include "support/temp_dir.hpp"

namespace quarnex {
namespace {

using testing::FakeBlockTree;
using testing::FakeDisk;

std::vector<std::string> Names(PosixDriveCatalog& catalog) {
    std::vector<std::string> names;
    for (const DriveListEntry& entry : catalog.DriveList()) {
        names.push_back(entry.name);
    }
    return names;
}

TEST(SysfsNames, NameOrderAndDeviceNumbers) {
    EXPECT_TRUE(NameOrderLess("nvme0n2", "nvme0n10"));
    EXPECT_TRUE(NameOrderLess("sd", "sda"));
    EXPECT_FALSE(NameOrderLess("sdc", "sdb"));
    EXPECT_EQ(ParseDevNumber("259:17"), (DevNumber{259, 17}));
    for (const char* bad : {"", "8", "8:", ":1", "8:1:2", "a:b", "8 :1"}) {
        EXPECT_FALSE(ParseDevNumber(bad)) << bad;
    }
}

TEST(PosixDriveCatalog, ListFloppiesThenSystemDiskThenOthersInNameOrder) {
    testing::TempDir dir;
    FakeBlockTree tree(dir.Path());
    int minor = 0;
    for (const char* name :
         {"sdd", "loop0", "ram0", "zram0", "fd1", "sdb", "nvme0n1", "sda", "fd0", "sdc", "sr0"}) {
        tree.AddDisk(FakeDisk{name, "100:" + std::to_string(minor++)});
    }
    // The root file system lives on a partition of sda, found by its number.
    tree.AddPartition("sda", "sda2", "8:2");
    tree.Mount("0:21", "/proc", "proc", "proc");
    tree.Mount("8:2", "/", "/dev/root", "ext4");
    PosixDriveCatalog catalog(tree.Roots());
    EXPECT_EQ(Names(catalog),
              (std::vector<std::string>{"A:", "B:", "sda", "nvme0n1", "sdb", "sdc", "sdd", "sr0"}));
    EXPECT_EQ(catalog.RightsProbePath(), tree.Node("sda2")) << "the root file system's own node";
    // Then the fixed disks and the loop devices; never the optical drive.
    EXPECT_EQ(catalog.RightsProbePaths(),
              (std::vector<std::string>{tree.Node("sda2"), tree.Node("nvme0n1"), tree.Node("sdb"),
                                        tree.Node("sdc"), tree.Node("sdd"), tree.Node("loop0")}));
    EXPECT_EQ(catalog.VolumePath("B:"), tree.Node("fd1"));
    EXPECT_EQ(catalog.VolumePath("sdc"), tree.Node("sdc"));
}

TEST(PosixDriveCatalog, SystemDiskThroughSourceMappingOrPlaceholder) {
    {
        // btrfs reports a private number; the source names the partition.
        testing::TempDir dir;
        FakeBlockTree tree(dir.Path());
        tree.AddDisk(FakeDisk{"sda", "8:0"});
        tree.AddDisk(FakeDisk{"sdb", "8:16"});
        tree.AddPartition("sdb", "sdb3", "8:19");
        tree.Mount("0:33", "/", "/dev/sdb3", "btrfs");
        PosixDriveCatalog catalog(tree.Roots());
        EXPECT_EQ(Names(catalog), (std::vector<std::string>{"sdb", "sda"}));
        EXPECT_EQ(catalog.RightsProbePath(), tree.Node("sdb3"));
    }
    {
        // A root on a mapped device counts for the disk beneath it.
        testing::TempDir dir;
        FakeBlockTree tree(dir.Path());
        tree.AddDisk(FakeDisk{"dm-0", "253:0"});
        tree.AddDisk(FakeDisk{"nvme0n1", "259:0"});
        tree.AddDisk(FakeDisk{"sda", "8:0"});
        tree.AddPartition("nvme0n1", "nvme0n1p2", "259:2");
        tree.AddSlave("dm-0", "nvme0n1p2");
        tree.Mount("253:0", "/", "/dev/mapper/root", "ext4");
        PosixDriveCatalog catalog(tree.Roots());
        EXPECT_EQ(Names(catalog), (std::vector<std::string>{"nvme0n1", "dm-0", "sda"}));
        EXPECT_EQ(catalog.RightsProbePath(), tree.Node("dm-0"));
    }
    {
        // A container: the root is an overlay; a placeholder keeps the place
        // and the probe falls back to the first disk.
        testing::TempDir dir;
        FakeBlockTree tree(dir.Path());
        tree.AddDisk(FakeDisk{"vdb", "254:16"});
        tree.AddDisk(FakeDisk{"vda", "254:0"});
        tree.Mount("0:40", "/", "overlay", "overlay");
        PosixDriveCatalog catalog(tree.Roots());
        EXPECT_EQ(Names(catalog), (std::vector<std::string>{kNoSystemDisk, "vda", "vdb"}));
        int error = 0;
        EXPECT_FALSE(catalog.WholeDiskOf(kNoSystemDisk, error));
        EXPECT_EQ(catalog.RightsProbePath(), tree.Node("vda"));
    }
    {
        testing::TempDir dir;
        FakeBlockTree tree(dir.Path());
        PosixDriveCatalog catalog(tree.Roots());
        EXPECT_EQ(Names(catalog), (std::vector<std::string>{kNoSystemDisk}));
        EXPECT_EQ(catalog.RightsProbePath(), "") << "no disk at all: nothing to probe";
    }
}

TEST(PosixDriveCatalog, DriveTypesNumbersDetailsAndMedium) {
    testing::TempDir dir;
    FakeBlockTree tree(dir.Path());
    tree.AddDisk(FakeDisk{"fd0", "2:0", 2880, true});
    tree.AddDisk(FakeDisk{"sda", "8:0", 1000000});
    tree.AddDisk(FakeDisk{"sdb", "8:16", 15240576, true, false, "SanDisk ", "Cruzer Blade    "});
    tree.AddDisk(FakeDisk{"sdc", "8:32", 3072000, false, true, "WD", "Elements"});
    tree.AddDisk(FakeDisk{"sdd", "8:48", 0, true, true, "Generic-", "SD/MMC"});
    tree.AddDisk(FakeDisk{"sr0", "11:0", 0, true, true});
    tree.AddDisk(FakeDisk{"sde", "8:64", 4096, true, false, "", "", "5"});
    tree.AddDisk(FakeDisk{"vdb", "254:16", 2048, false, false, "0x1af4"});
    tree.AddPartition("sdb", "sdb1", "8:17", 2048);
    tree.Mount("8:0", "/", "/dev/sda", "ext4");
    PosixDriveCatalog catalog(tree.Roots());

    // B: without fd1; sdc a USB disk without the flag; sdb1 as its disk;
    // sde optical by its SCSI type.
    const std::pair<const char*, DriveKind> kinds[] = {
        {"A:", DriveKind::Removable},  {"B:", DriveKind::NoRoot},
        {"sda", DriveKind::Fixed},     {"sdb", DriveKind::Removable},
        {"sdc", DriveKind::Removable}, {"sdb1", DriveKind::Removable},
        {"sr0", DriveKind::CdRom},     {"sde", DriveKind::CdRom},
        {"vdb", DriveKind::Fixed},     {"sdz", DriveKind::NoRoot}};
    for (const auto& [name, kind] : kinds) {
        EXPECT_EQ(catalog.GetDriveType(name), kind) << name;
    }

    // Numbers: the system disk 0, the others from 1 in list order; a
    // partition maps to its whole disk.
    int error = 0;
    const std::tuple<const char*, int, const char*> disks[] = {
        {"sda", 0, "sda"}, {"sdb", 1, "sdb"}, {"sdb1", 1, "sdb"}, {"sdc", 2, "sdc"}};
    for (const auto& [name, number, node] : disks) {
        const std::optional<PhysicalDrive> disk = catalog.WholeDiskOf(name, error);
        ASSERT_TRUE(disk) << name;
        EXPECT_EQ(disk->number, number) << name;
        EXPECT_EQ(disk->nodePath, tree.Node(node)) << name;
    }
    for (const char* unknown : {"sdz", "A:", "fd0", "loop0", ""}) {
        error = 0;
        EXPECT_FALSE(catalog.WholeDiskOf(unknown, error)) << unknown;
        EXPECT_EQ(error, ENODEV) << unknown;
    }

    EXPECT_EQ(catalog.Details("sdb").vendorModel, "SanDisk Cruzer Blade");
    EXPECT_EQ(catalog.Details("sdb").sizeBytes, 15240576ULL * 512);
    EXPECT_EQ(catalog.Details("sdb1").sizeBytes, 2048ULL * 512);
    EXPECT_EQ(catalog.Details("vdb").vendorModel, "") << "a bus id is no name";
    EXPECT_EQ(catalog.Details("A:").sizeBytes, 2880ULL * 512);

    EXPECT_TRUE(catalog.HasMedium("sdb"));
    EXPECT_FALSE(catalog.HasMedium("sdd")) << "an empty card reader has size 0";
    EXPECT_TRUE(catalog.HasMedium("sdz")) << "unknown: let the open decide";
}

TEST(PosixDriveCatalog, MountPointsOfADeviceAndItsPartitions) {
    testing::TempDir dir;
    FakeBlockTree tree(dir.Path());
    tree.AddDisk(FakeDisk{"sda", "8:0"});
    tree.AddDisk(FakeDisk{"sdb", "8:16", 3072000, true});
    tree.AddDisk(FakeDisk{"sdc", "8:32", 3072000, true});
    tree.AddPartition("sdb", "sdb1", "8:17");
    tree.Mount("8:0", "/", "/dev/sda", "ext4");
    tree.Mount("8:16", "/media/user/STORE\\040ID", "/dev/sdb");
    tree.Mount("8:17", "/mnt/part", "/dev/sdb1");
    tree.Mount("8:32", "/mnt/other", "/dev/sdc");
    // Matched by its source alone (a private device number).
    tree.Mount("0:50", "/mnt/by-name", tree.Node("sdb1"));
    tree.Mount("8:16", "/media/user/STORE\\040ID", "/dev/sdb");
    PosixDriveCatalog catalog(tree.Roots());

    EXPECT_EQ(catalog.MountPoints(tree.Node("sdb")),
              (std::vector<std::string>{"/media/user/STORE ID", "/mnt/part", "/mnt/by-name"}));
    EXPECT_EQ(catalog.MountPoints(tree.Node("sdc")), (std::vector<std::string>{"/mnt/other"}));
    EXPECT_TRUE(catalog.MountPoints(tree.Node("sdz")).empty());
    // A store file named like a disk is not that disk.
    EXPECT_TRUE(catalog.MountPoints(dir / "sdb").empty());
}

}  // namespace
}  // namespace quarnex
