// A store whose slot 0 another tool made, in a layout of its own: its
// DISKS.TXT is found, saved and read back, keeping the name and attributes
// it had. Other files surviving a write are the FAT12 layout tests' job.
#include <gtest/gtest.h>

#include <algorithm>

#include "fat12/fat12_volume.hpp"
#include "store/descriptions.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

TEST(Slot0Volume, AVolumeMadeByMkfsWithTwoSectorClustersWorksAsAStore) {
    if (!testing::HaveTools({"mkfs.fat", "mcopy", "mtype", "mattrib", "fsck.fat"})) {
        GTEST_SKIP() << "dosfstools or mtools not installed";
    }
    testing::StoreWorld w;
    const std::string volume = w.dir / "slot0.img";
    testing::WriteFileText(w.dir / "list", "--- IDN>[GAME]\r\n\r\n007 SRC>shelf\r\n");
    // DISKS.TXT is found under its long name, whatever its case; hidden and read-only.
    testing::Mtools("mkfs.fat -C " + volume + " 1440 -s 2 -n USBSTORE >/dev/null && mcopy -i " +
                    volume + " " + w.dir / "list" + " ::/Disks.Txt && mattrib -i " + volume +
                    " +r +h ::/Disks.Txt");
    testing::PutBytes(w.store, 0, testing::ReadFileBytes(volume));

    ASSERT_TRUE(LoadDescriptions(w.ctx));
    EXPECT_EQ(w.state.slotTable.baseId + "|" + w.state.slotTable.Slot(7).description, "GAME|shelf");
    w.state.slotTable.SetDescription(7, "Games, second copy");
    ASSERT_TRUE(SaveDescriptions(w.ctx, "sdb/DISKS.TXT"));

    testing::WriteFileBytes(volume, w.Read(0, fat12::kVolumeBytes));
    std::string fsck;
    EXPECT_EQ(testing::RunCommand("fsck.fat -n " + volume, &fsck), 0) << fsck;
    const std::string saved = testing::Mtools("mtype -i " + volume + " ::/disks.txt");
    EXPECT_NE(saved.find("007   1>Games, second copy"), std::string::npos) << saved;
    EXPECT_EQ(testing::Mtools("mattrib -i " + volume + " ::/Disks.Txt"),
              "  A   HR     ::/Disks.Txt\n");
    // Modified at the program's clock: 14 March 2026, 12:00.
    const auto items = fat12::ListDirectory(testing::ReadVolume(volume), "").items;
    const auto file = std::ranges::find(items, "Disks.Txt", &fat12::DirectoryItem::name);
    ASSERT_NE(file, items.end());
    const fat12::Stamp noon = fat12::MakeStamp(2026, 3, 14, 12, 0, 0);
    EXPECT_EQ(std::pair(file->modified.date, file->modified.time), std::pair(noon.date, noon.time));
}

}  // namespace
}  // namespace quarnex
