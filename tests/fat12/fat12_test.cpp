#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "fat12/dir_entry.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/fat_codec.hpp"
#include "fat12/fat_table.hpp"
#include "fat12/geometry.hpp"

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

// (The old chain freed: the descriptions, slot-0 and layout tests, whose
// free bytes and fsck.fat turn red; both FAT copies alike: the test below.)
TEST(Fat12, ReplacingAFileKeepsItsEntryItsStoredNameCaseAndNoOldData) {
    Image image = Blank();
    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", std::string(5000, 'x')), Status::Ok);
    const std::string small = "Line one\r\nLine two\r\n";
    ASSERT_EQ(ReplaceRootFile(image, "disks.txt", small), Status::Ok) << "found whatever the case";
    EXPECT_EQ(image[RootEntryOffset(2)], kEndOfDirectory) << "no second entry was made";
    EXPECT_EQ(ReadRootFile(image, "Disks.Txt").contents, small);
    // The rest of the last cluster is zero, not left-over file data.
    const std::size_t data = kDataOffset + (FirstFile(image).firstCluster.Get() - 2) * 512;
    EXPECT_EQ(Text(image, data, 512), small + std::string(512 - small.size(), '\0'));

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

// A full root folder refuses a new file and leaves every byte as it was.
// (A full volume, and no room beside the old copy: the terminal tool's
// refusal test.)
TEST(Fat12, AFullRootFolderIsRefusedAndLeftUnchanged) {
    Image root = Blank();
    for (int i = 1; i < 224; ++i) {
        ASSERT_EQ(ReplaceRootFile(root, "F" + std::to_string(i) + ".TXT", ""), Status::Ok);
    }
    const Image before = root;
    EXPECT_EQ(ReplaceRootFile(root, "DISKS.TXT", "n"), Status::RootFull);
    EXPECT_TRUE(root == before);
}

}  // namespace
}  // namespace quarnex::fat12
