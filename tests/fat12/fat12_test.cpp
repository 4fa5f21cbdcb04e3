#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "fat12/dir_entry.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/fat_codec.hpp"
#include "fat12/fat_table.hpp"
#include "fat12/geometry.hpp"
#include "store/store_world.hpp"

namespace quarnex::fat12 {
namespace {

using Image = std::vector<std::byte>;

Image Blank() {
    Image image(kVolumeBytes);
    BuildBlankVolume(image, "TESTVOL");
    return image;
}

std::string Text(const Image& image, std::size_t offset, std::size_t count) {
    return std::string(reinterpret_cast<const char*>(image.data()) + offset, count);
}

DirEntry FirstFile(const Image& image) {
    return LoadRecord<DirEntry>(image, RootEntryOffset(1));
}

unsigned FreeClusters(const Image& image) {
    const std::span<const std::byte> fat(image.data() + kFatOffset, kFatBytes);
    unsigned free = 0;
    for (unsigned c = kFirstCluster; c <= kLastCluster; ++c) {
        free += GetFatEntry(fat, c) == 0 ? 1 : 0;
    }
    return free;
}

TEST(Fat12, ReplacingAFileFreesItsChainKeepsBothFatsEqualAndTheStoredNameCase) {
    Image image = Blank();
    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", std::string(5000, 'x')), Status::Ok);
    EXPECT_EQ(FreeClusters(image), kClusterCount - 10);

    const std::string small = "Line one\r\nLine two\r\n";
    ASSERT_EQ(ReplaceRootFile(image, "disks.txt", small), Status::Ok) << "found whatever the case";
    EXPECT_EQ(FreeClusters(image), kClusterCount - 1);
    EXPECT_EQ(Text(image, kFatOffset, kFatBytes), Text(image, kFatOffset + kFatBytes, kFatBytes));
    EXPECT_EQ(image[RootEntryOffset(2)], kEndOfDirectory) << "no second entry was made";
    EXPECT_EQ(ReadRootFile(image, "Disks.Txt").contents, small);
    // The rest of the last cluster is zero, not left-over file data.
    const std::size_t data = kDataOffset + (FirstFile(image).firstCluster.Get() - 2) * 512;
    EXPECT_EQ(Text(image, data, 512), small + std::string(512 - small.size(), '\0'));

    // Another file takes freed clusters, so the next chain is in pieces; the
    // standard tools agree (when installed).
    ASSERT_EQ(ReplaceRootFile(image, "OTHER.DAT", std::string(3000, 'o')), Status::Ok);
    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", std::string(5000, 'y')), Status::Ok);
    testing::TempDir dir;
    testing::WriteFileBytes(dir / "volume.img", testing::BytesOf(image, 0, image.size()));
    testing::ExpectFatToolsAccept(dir / "volume.img", "DISKS.TXT", std::string(5000, 'y'));

    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", ""), Status::Ok);
    EXPECT_EQ(FreeClusters(image), kClusterCount - 6) << "only OTHER.DAT's clusters";
    EXPECT_EQ(ReadRootFile(image, "DISKS.TXT").contents, "");
    EXPECT_EQ(ReadRootFile(image, "TESTVOL").status, Status::NotFound) << "the label entry";
    // Someone else wrote the name in lower case; we keep it.
    std::memcpy(image.data() + RootEntryOffset(1), "disks   txt", 11);
    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", "bb"), Status::Ok);
    EXPECT_EQ(Text(image, RootEntryOffset(1), 11), "disks   txt");
    // A deleted entry of that name is reused as a free slot, not read.
    image[RootEntryOffset(1)] = kDeletedMark;
    EXPECT_EQ(ReadRootFile(image, "DISKS.TXT").status, Status::NotFound);
    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", "ccc"), Status::Ok);
    EXPECT_EQ(Text(image, RootEntryOffset(1), 12), "DISKS   TXT\x20") << "archive bit";
}

// Writes reach the medium only in the sectors ApplyStage names. The entries of
// clusters 341 and 682 straddle FAT sectors: a chain ending there reaches both copies.
TEST(Fat12, AnEntryAcrossASectorBoundaryReachesBothFatCopies) {
    for (const unsigned last : {341U, 682U}) {
        Image medium = Blank(), working = medium;
        const ReplaceStages stages =
            StageFileWrite(working, "CHAIN.BIN", std::string((last - 1) * kClusterBytes, 'c'), {});
        for (std::size_t i = 0; i < stages.stages.size(); ++i) {
            for (const SectorRun& run : ApplyStage(working, stages, i)) {
                std::memcpy(&medium[run.begin], &working[run.begin], run.end - run.begin);
            }
        }
        const std::span<const std::byte> fat(medium.data() + kFatOffset, 2 * kFatBytes);
        EXPECT_EQ(GetFatEntry(fat.subspan(kFatBytes), last), kChainEnd) << last;
        EXPECT_TRUE(std::ranges::equal(fat.first(kFatBytes), fat.subspan(kFatBytes))) << last;
    }
}

// A refused write leaves every byte of the volume as it was.
void ExpectRefused(Image image, const std::string& name, std::size_t size, Status status) {
    const Image before = image;
    EXPECT_EQ(ReplaceRootFile(image, name, std::string(size, 'n')), status) << name << size;
    EXPECT_TRUE(image == before) << name << size;
}

// (Damaged volumes: volume_damage_test.cpp.)
TEST(Fat12, FullVolumesAreRefusedAndLeftUnchanged) {
    Image full = Blank();
    const std::string filler(kClusterCount * 512 - 1024, 'f');
    ASSERT_EQ(ReplaceRootFile(full, "FILLER.BIN", filler), Status::Ok);
    ExpectRefused(full, "DISKS.TXT", 1025, Status::Full);
    EXPECT_EQ(ReplaceRootFile(full, "DISKS.TXT", std::string(1024, 'd')), Status::Ok);
    // Never over its own clusters: the old copy stays until the new one is whole.
    ExpectRefused(full, "FILLER.BIN", filler.size(), Status::NoRoomBeside);

    Image root = Blank();
    for (int i = 1; i < 224; ++i) {
        ASSERT_EQ(ReplaceRootFile(root, "F" + std::to_string(i) + ".TXT", ""), Status::Ok);
    }
    ExpectRefused(root, "DISKS.TXT", 1, Status::RootFull);
}

}  // namespace
}  // namespace quarnex::fat12
