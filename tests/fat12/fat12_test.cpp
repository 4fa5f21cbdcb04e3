#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "fat12/boot_sector.hpp"
#include "fat12/dir_entry.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/fat_codec.hpp"
#include "fat12/geometry.hpp"
#include "store/store_world.hpp"

namespace quarnex::fat12 {
namespace {

using Image = std::vector<std::byte>;

Image Blank(std::string_view label = "TESTVOL") {
    Image image(kVolumeBytes);
    BuildBlankVolume(image, label);
    return image;
}

std::string Text(const Image& image, std::size_t offset, std::size_t count) {
    return std::string(reinterpret_cast<const char*>(image.data()) + offset, count);
}

// The root entry after the volume label: where the first file goes.
DirEntry FirstFile(const Image& image) {
    return LoadRecord<DirEntry>(image, RootEntryOffset(1));
}

unsigned FreeClusters(const Image& image, std::size_t copy) {
    const std::span<const std::byte> fat(image.data() + kFatOffset + copy * kFatBytes, kFatBytes);
    unsigned free = 0;
    for (unsigned c = kFirstCluster; c <= kLastCluster; ++c) {
        free += GetFatEntry(fat, c) == 0 ? 1 : 0;
    }
    return free;
}

TEST(Fat12, FatCodecPacksTwelveBitEntriesWithoutDisturbingNeighbours) {
    std::vector<std::byte> fat(kFatBytes);
    std::mt19937 random(7);
    std::vector<unsigned> values(kClusterCount + 2);
    for (unsigned c = 0; c < values.size(); ++c) {
        values[c] = random() & 0xFFF;
        SetFatEntry(fat, c, values[c]);
    }
    for (unsigned c = 0; c < values.size(); ++c) {
        ASSERT_EQ(GetFatEntry(fat, c), values[c]) << c;
    }
    // Entries 2 = 0x003 and 3 = 0x004 share bytes 3..5 as 03 40 00.
    SetFatEntry(fat, 2, 0x003);
    SetFatEntry(fat, 3, 0x004);
    EXPECT_EQ(Text(fat, 3, 3), std::string("\x03\x40\x00", 3));
}

TEST(Fat12, ShortNamesFollowTheEightThreeRule) {
    EXPECT_EQ(ShortName("disks.txt"), "DISKS   TXT");
    EXPECT_EQ(ShortName("README"), "README     ");
    for (const char* bad : {"ABCDEFGHI.TXT", "A.TEXT", ".TXT", "A B.TXT", "A.B.C"}) {
        EXPECT_EQ(ShortName(bad), "") << bad;
    }
}

TEST(Fat12, ReplacingAFileFreesItsChainKeepsBothFatsEqualAndTheStoredNameCase) {
    Image image = Blank();
    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", std::string(5000, 'x')), Status::Ok);
    EXPECT_EQ(FreeClusters(image, 0), kClusterCount - 10);
    EXPECT_EQ(Text(image, RootEntryOffset(1), 12), "DISKS   TXT\x20") << "archive bit";
    EXPECT_EQ(FirstFile(image).fileSize.Get(), 5000u);

    const std::string small = "Line one\r\nLine two\r\n";
    ASSERT_EQ(ReplaceRootFile(image, "disks.txt", small), Status::Ok) << "found whatever the case";
    EXPECT_EQ(FreeClusters(image, 0), kClusterCount - 1);
    EXPECT_EQ(Text(image, kFatOffset, kFatBytes), Text(image, kFatOffset + kFatBytes, kFatBytes));
    EXPECT_EQ(image[RootEntryOffset(2)], kEndOfDirectory) << "no second entry was made";
    EXPECT_EQ(ReadRootFile(image, "Disks.Txt").contents, small);
    // The rest of the last cluster is zero, not left-over file data.
    const std::size_t data = kDataOffset + (FirstFile(image).firstCluster.Get() - 2) * 512;
    EXPECT_EQ(Text(image, data + small.size(), 512 - small.size()),
              std::string(512 - small.size(), '\0'));

    // Another file takes freed clusters, so the next chain is in pieces; the
    // standard tools agree (when installed).
    ASSERT_EQ(ReplaceRootFile(image, "OTHER.DAT", std::string(3000, 'o')), Status::Ok);
    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", std::string(5000, 'y')), Status::Ok);
    testing::TempDir dir;
    testing::WriteFileBytes(dir / "volume.img", testing::BytesOf(image, 0, image.size()));
    testing::ExpectFatToolsAccept(dir / "volume.img", "DISKS.TXT", std::string(5000, 'y'));

    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", ""), Status::Ok);
    EXPECT_EQ(FreeClusters(image, 0), kClusterCount - 6) << "only OTHER.DAT's clusters";
    EXPECT_EQ(ReadRootFile(image, "DISKS.TXT").contents, "");
    EXPECT_EQ(ReadRootFile(image, "OTHER.TXT").status, Status::NotFound);
    EXPECT_EQ(ReadRootFile(image, "TESTVOL").status, Status::NotFound) << "the label entry";
    // Someone else wrote the name in lower case; we keep it.
    std::memcpy(image.data() + RootEntryOffset(1), "disks   txt", 11);
    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", "bb"), Status::Ok);
    EXPECT_EQ(Text(image, RootEntryOffset(1), 11), "disks   txt");
    // A deleted entry of that name is reused as a free slot, not read.
    image[RootEntryOffset(1)] = kDeletedMark;
    EXPECT_EQ(ReadRootFile(image, "DISKS.TXT").status, Status::NotFound);
    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", "ccc"), Status::Ok);
    EXPECT_EQ(Text(image, RootEntryOffset(1), 11), "DISKS   TXT");
}

TEST(Fat12, FullOrDamagedVolumesAreRefusedAndLeftUnchanged) {
    Image full = Blank();
    const std::string filler(kClusterCount * 512 - 1024, 'f');
    ASSERT_EQ(ReplaceRootFile(full, "FILLER.BIN", filler), Status::Ok);
    Image before = full;
    EXPECT_EQ(ReplaceRootFile(full, "DISKS.TXT", std::string(1025, 'd')), Status::Full);
    EXPECT_EQ(full, before);
    EXPECT_EQ(ReplaceRootFile(full, "DISKS.TXT", std::string(1024, 'd')), Status::Ok);
    EXPECT_EQ(ReplaceRootFile(full, "FILLER.BIN", filler), Status::Ok)
        << "reusing its own clusters";

    Image root = Blank();
    for (int i = 1; i < 224; ++i) {
        ASSERT_EQ(ReplaceRootFile(root, "F" + std::to_string(i) + ".TXT", ""), Status::Ok);
    }
    before = root;
    EXPECT_EQ(ReplaceRootFile(root, "DISKS.TXT", "x"), Status::Full) << "root is full";
    EXPECT_EQ(root, before);

    Image damaged = Blank();
    ASSERT_EQ(ReplaceRootFile(damaged, "DISKS.TXT", std::string(2000, 'a')), Status::Ok);
    const unsigned first = FirstFile(damaged).firstCluster.Get();
    SetFatEntry(std::span(damaged).subspan(kFatOffset, kFatBytes), first + 1, first);  // a loop
    before = damaged;
    EXPECT_EQ(ReplaceRootFile(damaged, "DISKS.TXT", "new"), Status::Damaged);
    EXPECT_EQ(ReadRootFile(damaged, "DISKS.TXT").status, Status::Damaged);
    EXPECT_EQ(damaged, before);

    Image odd = Blank();
    ASSERT_EQ(ReplaceRootFile(odd, "DISKS.TXT", std::string(2000, 'a')), Status::Ok);
    DirEntry entry = FirstFile(odd);
    entry.fileSize.Set(9000);  // beyond its chain
    StoreRecord(odd, RootEntryOffset(1), entry);
    EXPECT_EQ(ReadRootFile(odd, "DISKS.TXT").status, Status::Damaged);
    BootSector boot = LoadRecord<BootSector>(odd, 0);
    boot.totalSectors.Set(2400);  // not a 1.44 MB volume
    StoreRecord(odd, 0, boot);
    before = odd;
    EXPECT_EQ(ReplaceRootFile(odd, "DISKS.TXT", "x"), Status::Damaged);
    EXPECT_EQ(odd, before);
    EXPECT_EQ(ReplaceRootFile(odd, "LONGNAME1.TXT", "x"), Status::BadName);
}

}  // namespace
}  // namespace quarnex::fat12
