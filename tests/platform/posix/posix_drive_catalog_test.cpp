// The Linux drive list, drive types, disk mapping, details and mount points,
// read from fake sysfs/dev/mountinfo trees.

#include "platform/posix/posix_drive_catalog.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>
#include <tuple>
#include <utility>

#include "platform/posix/posix_device_backend.hpp"
#include "platform/posix/sysfs_block.hpp"
#include "support/fake_block_tree.hpp"
#include "support/temp_dir.hpp"

namespace quarnex {
namespace {

using namespace testing;
using Names = std::vector<std::string>;

Names ListedNames(PosixDriveCatalog& catalog) {
    Names names;
    for (const DriveListEntry& entry : catalog.DriveList()) {
        names.push_back(entry.name);
    }
    return names;
}

// One machine with every kind of disk; the root file system on sda2.
struct Machine {
    Machine() {
        tree.AddDisk(FakeDisk{"fd0", "2:0", 2880, true});
        tree.AddDisk(FakeDisk{"sdd", "8:48", 0, true, true, "Generic-", "SD/MMC"});
        tree.AddDisk(FakeDisk{"sdb", "8:16", 15240576, true, false, "SanDisk ", "Cruzer Blade  "});
        tree.AddDisk(FakeDisk{"sdc", "8:32", 3072000, false, true, "WD", "Elements"});
        tree.AddDisk(FakeDisk{"sda", "8:0", 1000000});
        tree.AddDisk(FakeDisk{"sr0", "11:0", 0, true, true});
        tree.AddDisk(FakeDisk{"sde", "8:64", 4096, true, false, "", "", "5"});
        tree.AddDisk(FakeDisk{"vdb", "254:16", 2048, false, false, "0x1af4"});
        tree.AddDisk(FakeDisk{"nvme0n1", "259:0", 2048});
        for (const char* never : {"loop0", "ram0", "zram0"}) {
            tree.AddDisk(FakeDisk{never, "7:" + std::to_string(never[0])});
        }
        tree.AddPartition("sda", "sda2", "8:2");
        tree.AddPartition("sdb", "sdb1", "8:17", 2048);
        tree.Mount("0:21", "/proc", "proc", "proc");
        tree.Mount("8:2", "/", "/dev/root", "ext4");
        tree.Mount("8:16", "/media/user/STORE\\040ID", "/dev/sdb");
        tree.Mount("8:17", "/mnt/part", "/dev/sdb1");
        tree.Mount("8:32", "/mnt/other", "/dev/sdc");
        tree.Mount("0:50", "/mnt/by-name", tree.Node("sdb1"));  // a private number
    }
    TempDir dir;
    FakeBlockTree tree{dir.Path()};
    PosixDriveCatalog catalog{tree.Roots()};
};

// Numbers in names count by their value. (Device numbers: every tree below.)
TEST(SysfsNames, NameOrder) {
    EXPECT_TRUE(NameOrderLess("nvme0n2", "nvme0n10"));
    EXPECT_FALSE(NameOrderLess("sdc", "sdb"));
}

// Floppies, then the system disk, then the others in name order; the probe
// tries the root file system's own node, the fixed disks (never a stick) and
// loop devices.
TEST(PosixDriveCatalog, ListTypesNumbersAndDetails) {
    Machine m;
    const FakeBlockTree& t = m.tree;
    EXPECT_EQ(ListedNames(m.catalog),
              (Names{"A:", "sda", "nvme0n1", "sdb", "sdc", "sdd", "sde", "sr0", "vdb"}));
    EXPECT_EQ(m.catalog.RightsProbePaths(),
              (Names{t.Node("sda2"), t.Node("nvme0n1"), t.Node("vdb"), t.Node("loop0")}));
    EXPECT_EQ(m.catalog.VolumePath("A:") + m.catalog.VolumePath("sdc"),
              t.Node("fd0") + t.Node("sdc"));
    // Kind and whole disk (or the error) of each name: B: without fd1; sdc a
    // USB disk without the flag; sde optical by its SCSI type. The system
    // disk is 0, the others count from 1 in list order; a partition maps to
    // its whole disk.
    const std::tuple<const char*, DriveKind, int, const char*> drives[] = {
        {"A:", DriveKind::Removable, -ENODEV, ""}, {"B:", DriveKind::NoRoot, -ENODEV, ""},
        {"sda", DriveKind::Fixed, 0, "sda"},       {"sdb1", DriveKind::Removable, 2, "sdb"},
        {"sdc", DriveKind::Removable, 3, "sdc"},   {"sde", DriveKind::CdRom, 5, "sde"},
        {"vdb", DriveKind::Fixed, 7, "vdb"},       {"sdz", DriveKind::NoRoot, -ENODEV, ""}};
    for (const auto& [name, kind, number, node] : drives) {
        int error = 0;
        const std::optional<PhysicalDrive> disk = m.catalog.WholeDiskOf(name, error);
        EXPECT_EQ(std::tuple(m.catalog.GetDriveType(name), disk ? disk->number : -error,
                             disk ? disk->nodePath : ""),
                  std::tuple(kind, number, *node ? t.Node(node) : ""))
            << name;
    }
    // A bus id (vdb's vendor) is no name.
    EXPECT_EQ(std::tuple(m.catalog.Details("sdb1").sizeBytes, m.catalog.Details("vdb").vendorModel,
                         m.catalog.Details("A:").sizeBytes),
              std::tuple(2048ULL * 512, "", 2880ULL * 512));
    EXPECT_TRUE(m.catalog.HasMedium("sdz")) << "unknown: let the open decide";
}

// btrfs reports a private number, so the source names the partition; a root
// on a mapped device counts for the disk beneath it; in a container (an
// overlay root) a placeholder keeps the place and the probe takes the first
// disk; with no disk at all there is nothing to probe.
TEST(PosixDriveCatalog, SystemDiskThroughSourceMappingOrPlaceholder) {
    // A tree in words: "disk NAME DEV", "part DISK NAME DEV", "slave DISK
    // BELOW", "root DEV SOURCE TYPE", separated by ";".
    // clang-format off
    const std::tuple<const char*, Names, const char*> cases[] = {
        {"disk sda 8:0; disk sdb 8:16; part sdb sdb3 8:19; root 0:33 /dev/sdb3 btrfs", {"sdb", "sda"}, "sdb3"},
        {"disk dm-0 253:0; disk nvme0n1 259:0; part nvme0n1 nvme0n1p2 259:2;"
         "slave dm-0 nvme0n1p2; root 253:0 /dev/mapper/root ext4", {"nvme0n1", "dm-0"}, "dm-0"},
        {"disk vdb 254:16; disk vda 254:0; root 0:40 overlay overlay", {kNoSystemDisk, "vda", "vdb"}, "vda"},
        {"", {kNoSystemDisk}, ""},
    };
    // clang-format on
    for (const auto& [words, listed, probe] : cases) {
        TempDir dir;
        FakeBlockTree tree(dir.Path());
        std::istringstream lines(words);
        for (std::string line; std::getline(lines, line, ';');) {
            std::istringstream in(line);
            std::string verb, a, b, c;
            in >> verb >> a >> b >> c;
            if (verb == "disk")
                tree.AddDisk(FakeDisk{a, b});
            if (verb == "part")
                tree.AddPartition(a, b, c);
            if (verb == "slave")
                tree.AddSlave(a, b);
            if (verb == "root")
                tree.Mount(a, "/", b, c);
        }
        PosixDriveCatalog catalog(tree.Roots());
        EXPECT_EQ(ListedNames(catalog), listed) << words;
        EXPECT_EQ(catalog.RightsProbePath(), *probe ? tree.Node(probe) : "") << words;
        int error = 0;
        EXPECT_FALSE(catalog.WholeDiskOf(kNoSystemDisk, error));
    }
}

// Mount points of a device and its partitions (by number or by source); the
// backend's dismount tries them and fails, as the folders are no mount
// points; a store file named like a disk is mounted nowhere.
TEST(PosixDriveCatalog, MountPointsOfADeviceAndItsPartitionsAndTheirDismount) {
    Machine m;
    EXPECT_EQ(m.catalog.MountPoints(m.tree.Node("sdb")),
              (Names{"/media/user/STORE ID", "/mnt/part", "/mnt/by-name"}));
    EXPECT_EQ(m.catalog.MountPoints(m.tree.Node("sdc")), (Names{"/mnt/other"}));
    EXPECT_TRUE(m.catalog.MountPoints(m.dir / "sdb").empty());
    WriteFileText(m.dir / "sdb", "");
    m.tree.WriteNode("sdb", {});
    PosixDeviceBackend backend(m.tree.Roots());
    for (const auto& [path, fails] :
         {std::pair{m.tree.Node("sdb"), true}, {m.dir / "sdb", false}}) {
        OpenResult opened = backend.Open(path, Access::Write, Disposition::OpenExisting);
        ASSERT_NE(opened.file, nullptr) << path;
        EXPECT_EQ(opened.file->Dismount() != 0, fails) << path;
    }
}

}  // namespace
}  // namespace quarnex
