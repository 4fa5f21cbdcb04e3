// A store whose slot 0 another tool made, in a layout of its own, with the
// user's files in it: descriptions are found, saved and read back, and
// nothing else in the volume changes.
#include <gtest/gtest.h>

#include <algorithm>

#include "fat12/fat12_volume.hpp"
#include "store/descriptions.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

using testing::StoreWorld;

TEST(Slot0Volume, AVolumeMadeByMkfsWithTwoSectorClustersWorksAsAStore) {
    if (!testing::HaveTools({"mkfs.fat", "mcopy", "mtype", "mattrib", "fsck.fat"})) {
        GTEST_SKIP() << "dosfstools or mtools not installed";
    }
    StoreWorld w;
    const std::string volume = w.dir / "slot0.img";
    const std::string notes = testing::ReadFileText(QUARNEX_TEST_SOURCE_DIR "/CMakeLists.txt");
    testing::WriteFileText(w.dir / "notes", notes);
    testing::WriteFileText(w.dir / "list", "--- IDN>[GAME]\r\n\r\n007 SRC>shelf\r\n");
    // DISKS.TXT is found under its long name, whatever its case; hidden and read-only.
    testing::Mtools("mkfs.fat -C " + volume + " 1440 -s 2 -n USBSTORE >/dev/null && mmd -i " +
                    volume + " '::/My notes' && mcopy -i " + volume + " " + w.dir / "notes" +
                    " '::/My notes/Read me first.txt' && mcopy -i " + volume + " " +
                    w.dir / "list" + " ::/Disks.Txt && mattrib -i " + volume +
                    " +r +h ::/Disks.Txt");
    testing::PutBytes(w.store, 0, testing::ReadFileBytes(volume));

    ASSERT_TRUE(LoadDescriptions(w.ctx));
    EXPECT_EQ(w.state.slotTable.BaseId, "GAME");
    EXPECT_EQ(w.state.slotTable.Slot(7).description, "shelf");
    w.state.slotTable.SetDescription(7, "Games, second copy");
    ASSERT_TRUE(SaveDescriptions(w.ctx, "sdb/DISKS.TXT"));
    ASSERT_TRUE(LoadDescriptions(w.ctx));
    EXPECT_EQ(w.state.slotTable.Slot(7).description, "Games, second copy");

    testing::WriteFileBytes(volume, w.Read(0, fat12::kVolumeBytes));
    std::string fsck;
    EXPECT_EQ(testing::RunCommand("fsck.fat -n " + volume, &fsck), 0) << fsck;
    EXPECT_EQ(testing::Mtools("mtype -i " + volume + " '::/my notes/read me first.txt'"), notes);
    EXPECT_EQ(testing::Mtools("mtype -i " + volume + " ::/disks.txt"), w.Slot0File("DISKS.TXT"));
    EXPECT_NE(w.Slot0File().find("007   1>Games, second copy"), std::string::npos);
    EXPECT_EQ(testing::Mtools("mattrib -i " + volume + " ::/Disks.Txt"),
              "  A   HR     ::/Disks.Txt\n");
    // Modified at the program's clock: 14 March 2026, 12:00.
    const auto items = fat12::ListDirectory(testing::ReadVolume(volume), "").items;
    const auto file = std::ranges::find(items, "Disks.Txt", &fat12::DirectoryItem::name);
    ASSERT_NE(file, items.end());
    EXPECT_EQ(file->modified.date, fat12::MakeStamp(2026, 3, 14, 12, 0, 0).date);
    EXPECT_EQ(file->modified.time, fat12::MakeStamp(2026, 3, 14, 12, 0, 0).time);
}

}  // namespace
}  // namespace quarnex
