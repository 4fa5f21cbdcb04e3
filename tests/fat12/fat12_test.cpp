#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

#include "fat12/fat12_layout.hpp"
#include "fat12/fat12_volume.hpp"
#include "store/store_world.hpp"

namespace quarnex::fat12 {
namespace {

using Image = std::vector<std::byte>;
using testing::HaveTool;
using testing::TempDir;

Image Blank(std::string_view label = "TESTVOL") {
    Image image(kVolumeBytes);
    BuildBlankVolume(image, label);
    return image;
}

std::string Bytes(const Image& image, std::size_t offset, std::size_t count) {
    return std::string(reinterpret_cast<const char*>(image.data()) + offset, count);
}

unsigned FreeClusters(const Image& image, std::size_t copy) {
    const std::span<const std::byte> fat(image.data() + kFatOffset + copy * kFatBytes, kFatBytes);
    unsigned free = 0;
    for (unsigned c = kFirstCluster; c < kFirstCluster + kClusterCount; ++c) {
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
    // Known packing: entries 2 = 0x003 and 3 = 0x004 share bytes 3..5.
    SetFatEntry(fat, 2, 0x003);
    SetFatEntry(fat, 3, 0x004);
    EXPECT_EQ(std::to_integer<int>(fat[3]), 0x03);
    EXPECT_EQ(std::to_integer<int>(fat[4]), 0x40);
    EXPECT_EQ(std::to_integer<int>(fat[5]), 0x00);
}

TEST(Fat12, BlankVolumeHasTheFloppyLayoutAndItsLabelTwice) {
    const Image image = Blank("MYLABEL");
    // 512-byte sectors, 224 root entries, 2880 sectors, media F0, both FATs
    // starting F0 FF FF, the label in the boot sector and as the root's first
    // entry, and the boot signature.
    for (const auto& [offset, bytes] : {std::pair<std::size_t, std::string>{11, {"\x00\x02", 2}},
                                        {17, {"\xE0\x00\x40\x0B\xF0", 5}},
                                        {43, "MYLABEL    FAT12   "},
                                        {510, "\x55\xAA"},
                                        {512, "\xF0\xFF\xFF"},
                                        {512 + 4608, "\xF0\xFF\xFF"},
                                        {9728, "MYLABEL    \x08"}}) {
        EXPECT_EQ(Bytes(image, offset, bytes.size()), bytes) << offset;
    }
    EXPECT_EQ(ReadBootLabel(image), "MYLABEL    ");
    EXPECT_EQ(FreeClusters(image, 0), kClusterCount);
    EXPECT_EQ(Blank("MYLABEL"), image) << "the same label must give the same bytes";
}

TEST(Fat12, BuildWritesTheTemplateBesideThePrograms) {
    // Tests run in the folder that holds the executables.
    std::ifstream file("QuarnCfg/FAT12.144", std::ios::binary);
    ASSERT_TRUE(file) << "the build must write QuarnCfg/FAT12.144";
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    const Image expected = Blank("QUARNEX");
    ASSERT_EQ(bytes.size(), kVolumeBytes);
    EXPECT_EQ(bytes, Bytes(expected, 0, kVolumeBytes));
}

TEST(Fat12, ShortNamesFollowTheEightThreeRule) {
    EXPECT_EQ(ShortName("disks.txt"), "DISKS   TXT");
    EXPECT_EQ(ShortName("README"), "README     ");
    for (const char* bad : {"ABCDEFGHI.TXT", "A.TEXT", ".TXT", "A B.TXT", "A.B.C"}) {
        EXPECT_EQ(ShortName(bad), "") << bad;
    }
}

TEST(Fat12, ReplacingAFileFreesItsOldChainAndKeepsBothFatsEqual) {
    Image image = Blank();
    const std::string big(5000, 'x');  // 10 clusters
    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", big), Status::Ok);
    EXPECT_EQ(FreeClusters(image, 0), kClusterCount - 10);
    EXPECT_EQ(Bytes(image, 9728 + 32, 11), "DISKS   TXT") << "entry after the label";
    EXPECT_EQ(Get32(image, 9728 + 32 + 28), 5000u);

    const std::string small = "Line one\r\nLine two\r\n";
    ASSERT_EQ(ReplaceRootFile(image, "disks.txt", small), Status::Ok) << "found whatever the case";
    EXPECT_EQ(FreeClusters(image, 0), kClusterCount - 1);
    EXPECT_EQ(Bytes(image, kFatOffset, kFatBytes), Bytes(image, kFatOffset + kFatBytes, kFatBytes));
    EXPECT_EQ(Get16(image, 9728 + 64), 0) << "no second entry was made";
    const FileRead read = ReadRootFile(image, "Disks.Txt");
    ASSERT_EQ(read.status, Status::Ok);
    EXPECT_EQ(read.contents, small);
    // The rest of the last cluster is zero, not left-over file data.
    const std::size_t cluster = Get16(image, 9728 + 32 + 26);
    EXPECT_EQ(Bytes(image, kDataOffset + (cluster - 2) * 512 + small.size(), 512 - small.size()),
              std::string(512 - small.size(), '\0'));

    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", ""), Status::Ok);
    EXPECT_EQ(FreeClusters(image, 0), kClusterCount);
    EXPECT_EQ(ReadRootFile(image, "DISKS.TXT").contents, "");
    EXPECT_EQ(ReadRootFile(image, "OTHER.TXT").status, Status::NotFound);
}

TEST(Fat12, StoredNameCaseIsKeptAndDeletedOrLabelEntriesAreNotMatched) {
    Image image = Blank();
    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", "a"), Status::Ok);
    // Someone else wrote the name in lower case; we keep it.
    std::memcpy(image.data() + 9728 + 32, "disks   txt", 11);
    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", "bb"), Status::Ok);
    EXPECT_EQ(Bytes(image, 9728 + 32, 11), "disks   txt");
    EXPECT_EQ(ReadRootFile(image, "DISKS.TXT").contents, "bb");
    // A deleted entry of that name is reused as a free slot, not read.
    image[9728 + 32] = std::byte{kDeletedMark};
    EXPECT_EQ(ReadRootFile(image, "DISKS.TXT").status, Status::NotFound);
    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", "ccc"), Status::Ok);
    EXPECT_EQ(Bytes(image, 9728 + 32, 11), "DISKS   TXT");
    EXPECT_EQ(ReadRootFile(image, "VOLLABEL").status, Status::NotFound);
}

TEST(Fat12, FullOrDamagedVolumesAreRefusedAndLeftUnchanged) {
    {
        Image image = Blank();
        const std::string filler(kClusterCount * 512 - 1024, 'f');
        ASSERT_EQ(ReplaceRootFile(image, "FILLER.BIN", filler), Status::Ok);
        const Image before = image;
        EXPECT_EQ(ReplaceRootFile(image, "DISKS.TXT", std::string(1025, 'd')), Status::Full);
        EXPECT_EQ(image, before);
        EXPECT_EQ(ReplaceRootFile(image, "DISKS.TXT", std::string(1024, 'd')), Status::Ok);
        // Replacing a file may reuse its own clusters.
        EXPECT_EQ(ReplaceRootFile(image, "FILLER.BIN", filler), Status::Ok);
    }
    {
        Image image = Blank();
        for (int i = 1; i < 224; ++i) {
            ASSERT_EQ(ReplaceRootFile(image, "F" + std::to_string(i) + ".TXT", ""), Status::Ok);
        }
        const Image before = image;
        EXPECT_EQ(ReplaceRootFile(image, "DISKS.TXT", "x"), Status::Full) << "root is full";
        EXPECT_EQ(image, before);
    }
    {
        Image image = Blank();
        ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", std::string(2000, 'a')), Status::Ok);
        const std::size_t first = Get16(image, 9728 + 32 + 26);
        SetFatEntry(std::span(image).subspan(kFatOffset, kFatBytes), first + 1,
                    static_cast<unsigned>(first));  // a loop
        const Image before = image;
        EXPECT_EQ(ReplaceRootFile(image, "DISKS.TXT", "new"), Status::Damaged);
        EXPECT_EQ(ReadRootFile(image, "DISKS.TXT").status, Status::Damaged);
        EXPECT_EQ(image, before);
    }
    {
        Image image = Blank();
        ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", std::string(2000, 'a')), Status::Ok);
        Put32(image, 9728 + 32 + 28, 9000);  // size beyond its chain
        EXPECT_EQ(ReadRootFile(image, "DISKS.TXT").status, Status::Damaged);
        Put16(image, 19, 2400);  // not a 1.44 MB volume
        const Image before = image;
        EXPECT_EQ(ReplaceRootFile(image, "DISKS.TXT", "x"), Status::Damaged);
        EXPECT_EQ(image, before);
        EXPECT_EQ(ReplaceRootFile(image, "LONGNAME1.TXT", "x"), Status::BadName);
    }
}

TEST(Fat12, VolumesPassFsckAndReadBackWithMtools) {
    if (!HaveTool("fsck.fat") || !HaveTool("mtype")) {
        GTEST_SKIP() << "fsck.fat or mtype not installed";
    }
    TempDir dir;
    Image image = Blank("CHECKED");
    std::string text;
    for (int i = 0; i < 300; ++i) {
        text += "007   " + std::to_string(i) + ">line\r\n";
    }
    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", "first version"), Status::Ok);
    ASSERT_EQ(ReplaceRootFile(image, "OTHER.DAT", std::string(3000, 'o')), Status::Ok);
    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", text), Status::Ok);
    const std::string path = dir / "volume.img";
    testing::WriteFileBytes(path, testing::BytesOf(image, 0, image.size()));
    testing::ExpectFatToolsAccept(path, "DISKS.TXT", text);
    std::string listing;
    testing::RunCommand("MTOOLS_SKIP_CHECK=1 mdir -i " + path + " ::", &listing);
    EXPECT_NE(listing.find("CHECKED"), std::string::npos) << listing;
}

}  // namespace
}  // namespace quarnex::fat12
