#include "store/descriptions.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "core/text.hpp"
#include "fat12/dir_entry.hpp"
#include "fat12/geometry.hpp"
#include "state/error_report.hpp"
#include "store/disk_ids.hpp"
#include "store/store_paths.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

using testing::Fault;
using testing::FaultOp;
using testing::kCreatedHeader;
using testing::ReadFileText;
using testing::StoreWorld;

constexpr const char* kSavedHeader = "Disk Descriptions For USB Image File 'sdb/DISKS.TXT'\r\n";

// Fails each step of run in turn, one fresh world per step, until a run
// needs fewer steps of that kind; every kind must occur at least once.
void FailEachStep(const std::function<void(StoreWorld&)>& prepare, int errorNumber,
                  const std::function<bool(StoreWorld&)>& run,
                  const std::function<void(StoreWorld&, FaultOp, int)>& check) {
    for (FaultOp op :
         {FaultOp::Open, FaultOp::Seek, FaultOp::Read, FaultOp::Write, FaultOp::Flush}) {
        for (int k = 1;; ++k) {
            StoreWorld w;
            testing::SetGridIds(w.state, "FDISK", true);
            prepare(w);
            const testing::Bytes slot0 = w.Read(0, fat12::kVolumeBytes);
            const int before = w.devices.Count(op);
            // A write fault moves all but one byte, as a medium that fills up.
            w.devices.Inject(op == FaultOp::Write ? Fault{op, k, "", 0, 1}
                                                  : Fault{op, k, "", errorNumber});
            const bool done = run(w);
            if (w.devices.Count(op) < before + k) {
                EXPECT_TRUE(done && k > 1) << "every kind of step occurs";
                break;
            }
            SCOPED_TRACE("op " + std::to_string(int(op)) + " step " + std::to_string(k));
            EXPECT_FALSE(done);
            EXPECT_EQ(w.devices.OpenHandles(), 0);
            if (w.devices.Count(FaultOp::Write) == 0) {
                EXPECT_TRUE(w.Read(0, fat12::kVolumeBytes) == slot0) << "nothing written";
            }
            check(w, op, k);
        }
    }
}

TEST(Descriptions, WithoutABaseTheCreatedFileHasNoBaseLine) {
    StoreWorld v;
    for (int slot = 1; slot < 1000; ++slot) {
        v.PutLabel(slot, PadRight("S" + std::to_string(slot * 7) + "QQQ", 11));
    }
    ASSERT_EQ(LoadDiskIds(v.ctx), Outcome::Complete);
    EXPECT_TRUE(LoadDescriptions(v.ctx));
    EXPECT_EQ(v.Slot0File(), kCreatedHeader);
    // Created by a save (describe): no lower-case flag, mdir's "DISKS txt".
    StoreWorld w;
    ASSERT_TRUE(ReadDescriptions(w.ctx));
    ASSERT_TRUE(SaveDescriptions(w.ctx, "sdb/DISKS.TXT"));
    EXPECT_EQ(w.Read(fat12::RootEntryOffset(1) + 11, 2), (testing::Bytes{0x20, 0}));
}

TEST(Descriptions, SavedThroughSlot0AndLoadedBackUnchanged) {
    StoreWorld w;
    w.LabelSlots("GAMES", false);
    w.PutLabel(17, "SPECIAL    ");
    ASSERT_EQ(LoadDiskIds(w.ctx), Outcome::Complete);
    SlotTable& t = w.state.slotTable;
    t.SetDescription(4, "stale");
    t.SetSource(4, "stale");
    // An absent file is created inside slot 0 with the derived base.
    ASSERT_TRUE(LoadDescriptions(w.ctx));
    EXPECT_EQ(w.Slot0File(), kCreatedHeader + "---  ID>[GAMES]\r\n");
    EXPECT_EQ(t.Slot(4).description + t.Slot(4).source, "");
    w.ExpectReport(nullptr);
    t.SetDescription(2, "Doom\r\n\r\n  shareware 1.9");
    t.SetSource(2, "/home/u/images/doom.img");
    t.SetDescription(999, "last");
    EXPECT_EQ(StoreDescriptionsName(w.ctx), "sdb/DISKS.TXT");
    ASSERT_TRUE(SaveDescriptions(w.ctx, "sdb/DISKS.TXT"));
    // One DISKS.TXT: the created file was replaced, not joined by another.
    const std::string written = w.Slot0File();
    EXPECT_EQ(written, kSavedHeader + std::string(testing::kListHeader) +
                           "---  ID>[GAMES]\r\n\r\n002 SRC>/home/u/images/doom.img\r\n"
                           "002  ID>[GAMES      ]\r\n002   1>Doom\r\n002   2>\r\n"
                           "002   3>  shareware 1.9\r\n\r\n017  ID>[SPECIAL    ]\r\n"
                           "\r\n999  ID>[GAMES      ]\r\n999   1>last\r\n\r\n");
    testing::WriteFileBytes(w.dir / "slot0.img", w.Read(0, fat12::kVolumeBytes));
    testing::ExpectFatToolsAccept(w.dir / "slot0.img", "disks.txt", written);

    ASSERT_EQ(LoadDiskIds(w.ctx), Outcome::Complete);
    ASSERT_TRUE(LoadDescriptions(w.ctx));
    EXPECT_EQ(std::tuple(t.Slot(2).description, t.Slot(2).source, t.Slot(999).description),
              std::tuple("Doom\r\n\r\n  shareware 1.9", "/home/u/images/doom.img", "last"));
    EXPECT_EQ(w.Slot0File(), written) << "loading does not rewrite the file";
}

// Loading fails silently; saving is reported once and never leaves a half volume.
TEST(Descriptions, EveryFailedStepOfLoadingOrSavingClosesTheDevice) {
    FailEachStep([](StoreWorld&) {}, EIO, [](StoreWorld& w) { return LoadDescriptions(w.ctx); },
                 [](StoreWorld& w, FaultOp, int) {
                     const SlotTable& t = w.state.slotTable;
                     EXPECT_EQ(std::tie(t.BaseId, t.BaseIdPresent, t.BaseIdNumbered),
                               std::tuple("FDISK", true, true));  // derived
                     w.ExpectReport(nullptr);
                 });
    FailEachStep(
        [](StoreWorld& w) {
            ASSERT_TRUE(LoadDescriptions(w.ctx));
            w.state.slotTable.SetDescription(5, std::string(3000, 'd'));
        },
        ENOSPC, [](StoreWorld& w) { return SaveDescriptions(w.ctx, "sdb/DISKS.TXT"); },
        [](StoreWorld& w, FaultOp op, int k) {
            EXPECT_EQ(w.OnlyMessage(),
                      "Error # 0x8004001C was generated by QrnMsbrSaveDescriptions.Quarnex\r\n" +
                          GetErrorText(w.ctx, ENOSPC) + "\r\nDISKS.TXT of " + w.store +
                          " was not saved.");
            EXPECT_EQ(w.ui.messages.at(0).title, "Error");
            if (op == FaultOp::Write && k == 1) {
                // Only the new data clusters were touched: the old file reads on.
                EXPECT_EQ(w.Slot0File(), kCreatedHeader + "--- IDN>[FDISK]\r\n");
            }
        });
}

TEST(Descriptions, AMountedStoreIsReachedThroughItsMountPoint) {
    StoreWorld w;
    // A device node that is not a file, mounted at a folder of ours.
    w.state.devices.Row(1).DevicePath = "/dev/null";
    const std::string mount = w.dir / "mnt";
    std::filesystem::create_directories(mount);
    w.drives.mountPoints = {mount};
    testing::WriteFileText(mount + "/Disks.Txt", "---  ID>[MOUNTED]\r\n008   1>eight\r\n");
    EXPECT_TRUE(LoadDescriptions(w.ctx));
    EXPECT_EQ(std::tuple(w.state.slotTable.BaseId, w.state.slotTable.Slot(8).description),
              std::tuple("MOUNTED", "eight"));
    ASSERT_TRUE(SaveDescriptions(w.ctx, "sdb/DISKS.TXT"));
    EXPECT_EQ(ReadFileText(mount + "/Disks.Txt").rfind(kSavedHeader, 0), 0u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(mount), {}), 1)
        << "the existing file was replaced";

    std::filesystem::remove(mount + "/Disks.Txt");
    w.model.grid.Reset();
    EXPECT_TRUE(LoadDescriptions(w.ctx));
    EXPECT_EQ(ReadFileText(mount + "/DISKS.TXT"), kCreatedHeader + "---  ID>[-----------]\r\n");
    EXPECT_EQ(w.devices.OpenHandles(), 0);

    // A folder of that name is neither read nor replaced.
    std::filesystem::remove(mount + "/DISKS.TXT");
    std::filesystem::create_directory(mount + "/disks.txt");
    EXPECT_FALSE(LoadDescriptions(w.ctx) || SaveDescriptions(w.ctx, "sdb/DISKS.TXT"));
    EXPECT_EQ(w.OnlyMessage(),
              "DISKS.TXT is a folder in slot 0, so the descriptions were not saved.");
    EXPECT_TRUE(std::filesystem::is_directory(mount + "/disks.txt"));
}

TEST(Descriptions, WholeStoreFilesGetTheirDescriptionsBesideThem) {
    StoreWorld w;
    w.state.slotTable.SetDescription(6, "six");
    w.state.slotTable.BaseId = "FDISK";
    w.state.slotTable.BaseIdNumbered = true;
    // An existing longer file is replaced, not overwritten in part.
    testing::WriteFileText(w.dir / "backup.txt", std::string(100000, 'z'));
    const std::string image = w.dir / "backup.img";
    ASSERT_TRUE(SaveDescriptions(w.ctx, image));
    const std::string text = ReadFileText(w.dir / "backup.txt");
    EXPECT_EQ(text.substr(0, 38 + image.size() + 3),
              "Disk Descriptions For USB Image File '" + image + "'\r\n");
    EXPECT_NE(text.find("\r\n006  ID>[-----------]\r\n006   1>six\r\n\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 27), "\r\n999  ID>[-----------]\r\n\r\n");

    w.devices.Inject(Fault{FaultOp::Open, 0, "nowhere", ENOENT});
    EXPECT_FALSE(SaveDescriptions(w.ctx, w.dir / "nowhere/x.img"));
    w.ExpectReport("Error # 0x80040002 was generated by QrnMsbrSaveDescriptions.Quarnex\r\n");
    EXPECT_EQ(w.devices.OpenHandles(), 0);
}

}  // namespace
}  // namespace quarnex
