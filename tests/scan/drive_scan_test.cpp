// The scan for stores and the floppy-drive check, on fake sysfs/dev/mountinfo
// trees whose devices are regular files.

#include "scan/drive_scan.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "commands/main_commands.hpp"
#include "commands/refresh_main_window.hpp"
#include "core/media_sizes.hpp"
#include "fat12/volume_label.hpp"
#include "platform/posix/posix_drive_catalog.hpp"
#include "support/fake_block_tree.hpp"
#include "support/test_world.hpp"

namespace quarnex {
namespace {

using testing::FakeBlockTree;
using testing::FakeDisk;
using testing::Fault;
using testing::FaultOp;

constexpr std::uint64_t kStickSectors = 15240576;  // a 7.8 GB stick

// The first sector of a store: a 1.44 MB FAT12 boot sector.
std::vector<unsigned char> BootSector(unsigned totalSectors = 2880,
                                      const std::string& type = "FAT12   ") {
    std::vector<unsigned char> sector(512, 0);
    std::memcpy(sector.data(), "\xEB\x3C\x90MSDOS5.0\x00\x02", 13);  // 512 bytes per sector
    sector[19] = static_cast<unsigned char>(totalSectors & 0xFF);
    sector[20] = static_cast<unsigned char>(totalSectors >> 8);
    std::memcpy(sector.data() + fat12::kBootLabelOffset, "STORE-ID   ", fat12::kLabelBytes);
    std::memcpy(sector.data() + 54, type.data(), std::min<std::size_t>(type.size(), 8));
    sector[510] = 0x55;
    sector[511] = 0xAA;
    return sector;
}

// A program world whose drive catalog reads a fake tree with a fixed system
// disk vda that itself holds a store (so that examining it would show).
struct ScanWorld {
    ScanWorld() {
        tree.AddDisk(FakeDisk{"vda", "254:0", kStickSectors, true});
        tree.WriteNode("vda", BootSector());
        tree.Mount("254:0", "/", "/dev/vda", "ext4");
    }

    void AddDrive(FakeDisk disk, const std::vector<unsigned char>& firstSector) {
        tree.AddDisk(disk);
        tree.WriteNode(disk.name, firstSector);
    }

    const MenuModel& Menus() const { return w.model.menus; }
    int Opens(const std::string& name) const {
        return w.devices.Count(FaultOp::Open, tree.Node(name));
    }

    testing::TestWorld w;
    FakeBlockTree tree{w.dir / "tree"};
    PosixDriveCatalog catalog{tree.Roots()};
    WindowContext ctx{{w.state, w.devices, catalog, w.ui, w.clock}, w.model};
};

FakeDisk Stick(const std::string& name, const std::string& dev) {
    return FakeDisk{name, dev, kStickSectors, true};
}

TEST(ScanDrives, OnlyAFloppyAndTheSystemDiskStopsAtFiftyPercent) {
    ScanWorld s;
    s.AddDrive(FakeDisk{"fd0", "2:0", 2880, true}, BootSector());
    // An earlier scan's rows and window.
    DeviceTable& table = s.w.state.devices;
    table.DeviceCount = 2;
    table.Row(1) = DeviceEntry{"sdx", "/dev/sdx", 3, "Old Stick", 42};
    RefreshMainWindow(s.ctx, 2);

    ScanStores(s.ctx);

    EXPECT_EQ(table.DeviceCount, 0);
    EXPECT_EQ(table.Row(1).DeviceLetter, "sdx") << "rows past DeviceCount are left stale";
    EXPECT_EQ(s.w.state.status.progressLabel, "Progress        50%");
    EXPECT_EQ(s.w.state.status.actionLabel, "");
    EXPECT_EQ(s.w.devices.Count(FaultOp::Open), 0) << "neither A: nor the system disk is opened";
    // The window was reset at the start and stays so.
    EXPECT_FALSE(s.Menus()[MenuId::File_Menu_Select_1].visible);
    EXPECT_TRUE(s.Menus()[MenuId::Image_Menu_Import_A_Raw].visible);
}

TEST(ScanDrives, FiveStoresEnterTheFirstFourInNameOrder) {
    ScanWorld s;
    s.AddDrive(FakeDisk{"sdf", "8:80", kStickSectors, true}, BootSector());
    s.AddDrive(FakeDisk{"sdb", "8:16", kStickSectors, true, false, "SanDisk", "Cruzer Blade"},
               BootSector());
    s.AddDrive(FakeDisk{"sdd", "8:48", 3072000, true}, BootSector());
    // On a USB bus without the removable flag (a USB hard disk).
    s.AddDrive(FakeDisk{"sdc", "8:32", 3072000, false, true}, BootSector());
    s.AddDrive(FakeDisk{"sde", "8:64", 3072000, true}, BootSector());
    // A stale row must not keep its old details.
    s.w.state.devices.Row(2) = DeviceEntry{"old", "/old", 9, "Old Stick", 42};

    ScanStores(s.ctx);

    const DeviceTable& table = s.w.state.devices;
    ASSERT_EQ(table.DeviceCount, 4);
    for (int i = 1; i <= 4; ++i) {
        const std::string name = std::string("sd") + static_cast<char>('a' + i);
        EXPECT_EQ(table.Row(i).DevicePath, s.tree.Node(name));
        EXPECT_EQ(table.Row(i).DeviceDriveNumber, i) << "the system disk is number 0";
        EXPECT_EQ(s.Menus()[MenuModel::SelectEntry(i)].caption, "Select Device &" + name);
    }
    EXPECT_EQ(table.Row(1).vendorModel, "SanDisk Cruzer Blade");
    EXPECT_EQ(table.Row(2).vendorModel, "");
    EXPECT_EQ(table.Row(2).sizeBytes, 3072000ULL * 512);
    EXPECT_EQ(s.Opens("sdf"), 0) << "the scan ends right after the fourth store";
    EXPECT_EQ(s.w.ui.actionLabels.back(), "Scanning Drives");
    EXPECT_EQ(s.w.state.status.progressLabel, "Progress      Finished");
    EXPECT_TRUE(s.w.ui.messages.empty());
}

// Only removable drives with a medium are opened; failures are shown once
// each, a first sector that is no store's is passed over silently, and the
// scan goes on, one progress step per drive.
TEST(ScanDrives, SkipsWhatIsNoStoreShowsEachFailureOnceAndGoesOn) {
    ScanWorld s;
    std::vector<unsigned char> cut = BootSector();
    cut.resize(300);  // a first sector that reads short
    s.AddDrive(Stick("sdb", "8:16"), BootSector(1440));
    s.AddDrive(FakeDisk{"sdc", "8:32", kStickSectors}, BootSector());              // fixed
    s.AddDrive(FakeDisk{"sr0", "11:0", 4096, true, true}, BootSector());           // optical
    s.tree.AddDisk(FakeDisk{"sdd", "8:48", 0, true, true, "Generic-", "SD/MMC"});  // empty
    s.AddDrive(Stick("sde", "8:64"), cut);
    for (const char* name : {"sdf", "sdg", "sdh", "sdi"}) {
        s.AddDrive(Stick(name, std::string("8:") + std::to_string(16 * (name[2] - 'a'))),
                   BootSector());
    }
    // sdf: its volume cannot be opened for the number; sdg: the disk cannot
    // be opened; sdh: the read fails.
    s.w.devices.Inject(Fault{FaultOp::Open, 1, "/sdf", EACCES, 0});
    s.w.devices.Inject(Fault{FaultOp::Open, 2, "/sdg", EACCES, 0});
    s.w.devices.Inject(Fault{FaultOp::Read, 1, "/sdh", EIO, 0});

    ScanStores(s.ctx);

    ASSERT_EQ(s.w.ui.messages.size(), 2u);
    EXPECT_EQ(s.w.ui.messages[0].text,
              "Error # 0x8004000D was generated by GetPhysicalDriveNumber.CreateM.OpenFile\r\n"
              "Permission denied");
    EXPECT_EQ(s.w.ui.messages[1].text,
              "Error # 0x8004000D was generated by GetHandle\r\nPermission denied\r\n"
              "An error occurred when attempting to get a handle for " +
                  s.tree.Node("sdg"));
    for (const char* never : {"vda", "sdc", "sr0", "sdd"}) {
        EXPECT_EQ(s.Opens(never), 0) << never;  // the system disk, fixed, optical, empty
    }
    EXPECT_EQ(s.Opens("sdb"), 2) << "the volume for its number, then the disk";
    EXPECT_EQ(s.Opens("sdf"), 1) << "no disk open after the number failed";
    EXPECT_EQ(s.w.ui.progressLabels,
              (std::vector<std::string>{"Progress", "Progress        0%", "Progress        20%",
                                        "Progress        30%", "Progress        40%",
                                        "Progress        50%", "Progress        60%",
                                        "Progress        70%", "Progress        80%",
                                        "Progress        90%", "Progress      Finished"}));
    EXPECT_EQ(s.w.ui.actionLabels[1], "Scanning Drive sdb");
    EXPECT_EQ(s.w.ui.actionLabels.back(), "Scanning Drives");
    ASSERT_EQ(s.w.state.devices.DeviceCount, 1);
    EXPECT_EQ(s.w.state.devices.Row(1).DeviceLetter, "sdi");
    EXPECT_EQ(s.w.devices.OpenHandles(), 0);
    EXPECT_EQ(s.Menus()[MenuId::File_Menu_Select_1].caption, "Select Device &sdi");
}

// Total sector count 2880 and file system type "FAT12   ", byte for byte.
TEST(IsStoreBootSector, OnlyA144MbFat12BootSector) {
    const std::pair<std::vector<unsigned char>, bool> cases[] = {
        {BootSector(), true},
        {BootSector(1440), false},  // a 720 KB floppy
        {BootSector(2880, "fat12   "), false},
        {BootSector(2880, "FAT12  X"), false},  // all eight bytes count
        {BootSector(2880, std::string("FAT12\0\0\0", 8)), false},
        {BootSector(0x400B), false},  // 2880 with its bytes swapped
    };
    for (const auto& [sector, store] : cases) {
        const std::span<const unsigned char, kBootSectorBytes> bytes(sector.data(), 512);
        EXPECT_EQ(IsStoreBootSector(std::as_bytes(bytes)), store);
    }
}

TEST(ScanDrives, TwoNamesOnOneDiskGiveTwoRowsAndAnEmptyListIsHarmless) {
    testing::TestWorld w;
    const std::string disk = w.dir / "disk";
    testing::WriteFileBytes(disk, BootSector());
    w.drives.drives = {testing::FakeDrive{"sys", w.dir / "sys", DriveKind::Fixed, 0},
                       testing::FakeDrive{"sdb", disk, DriveKind::Removable, 1},
                       testing::FakeDrive{"sdb1", disk, DriveKind::Removable, 1}};
    ScanStores(w.ctx);
    ASSERT_EQ(w.state.devices.DeviceCount, 2);
    EXPECT_EQ(w.state.devices.Row(2).DeviceLetter, "sdb1");
    EXPECT_EQ(w.state.devices.Row(2).DevicePath, disk);

    w.drives.drives.clear();
    ScanStores(w.ctx);
    EXPECT_EQ(w.state.devices.DeviceCount, 0);
    EXPECT_EQ(w.state.status.progressLabel, "Progress");
}

TEST(CheckFloppyDrives, OnlyEntriesAColonAndBColonAreFloppyDrives) {
    testing::TestWorld w;
    // Shown: the separators and the raw import and export entries for A: and B:.
    const struct {
        std::vector<const char*> names;
        int count;
        std::string shown;
    } cases[] = {{{"A:", "B:", "sda"}, 2, "111111"},
                 {{"b:", "sda"}, 1, "101101"},
                 {{"sda", "bcache0", "aoe1"}, 0, "000000"}};  // disks named a... or b...
    for (const auto& c : cases) {
        w.drives.drives.clear();
        for (const char* name : c.names) {
            w.drives.drives.push_back(testing::FakeDrive{name, "", DriveKind::Fixed, -1});
        }
        RefreshFloppyEntries(w.ctx);
        std::string shown;
        for (MenuId id : {MenuId::Image_Menu_Seperator_1, MenuId::Image_Menu_Import_A_Raw,
                          MenuId::Image_Menu_Import_B_Raw, MenuId::Image_Menu_Seperator_2,
                          MenuId::Image_Menu_Export_A_Raw, MenuId::Image_Menu_Export_B_Raw}) {
            shown += w.model.menus[id].visible ? '1' : '0';
        }
        EXPECT_EQ(w.state.floppies.FloppyDriveCount, c.count);
        EXPECT_EQ(shown, c.shown);
    }
    EXPECT_EQ(w.ui.changes.back(), WindowPart::Menus) << "the GUI is told to render the menus";
}

}  // namespace
}  // namespace quarnex
