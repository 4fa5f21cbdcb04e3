// The FAT12 engine's root files, volume labels and serials, and the template
// the build writes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <tuple>
#include <vector>

#include "core/text.hpp"
#include "fat12/dir_entry.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/fat_codec.hpp"
#include "fat12/fat_table.hpp"
#include "fat12/geometry.hpp"
#include "fat12/volume_label.hpp"
#include "fat12/volume_layout.hpp"
#include "fat12/volume_serial.hpp"
#include "support/temp_dir.hpp"

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

// Another tool wrote the name in lower case; a replacement keeps it.
TEST(Fat12, ReplacingAFileKeepsTheNameAsAnotherToolStoredIt) {
    Image image = Blank();
    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", "a"), Status::Ok);
    std::memcpy(image.data() + RootEntryOffset(1), "disks   txt", 11);
    ASSERT_EQ(ReplaceRootFile(image, "DISKS.TXT", "bb"), Status::Ok);
    EXPECT_EQ(Text(image, RootEntryOffset(1), 11), "disks   txt");
    EXPECT_EQ(ReadRootFile(image, "Disks.Txt").contents, "bb");
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
TEST(Fat12, AFullRootFolderIsRefusedAndLeftUnchanged) {
    Image root = Blank();
    for (int i = 1; i < 224; ++i) {
        ASSERT_EQ(ReplaceRootFile(root, "F" + std::to_string(i) + ".TXT", ""), Status::Ok);
    }
    const Image before = root;
    EXPECT_EQ(ReplaceRootFile(root, "DISKS.TXT", "n"), Status::RootFull);
    EXPECT_TRUE(root == before);
}

// The template the build writes, byte for byte against a checked-in dump.
constexpr const char* kTemplatePath = "QuarnCfg/FAT12.144";  // tests run beside the programs

// The golden file: a "length N" line and xxd rows (offset, 16 bytes, text) of
// every row that is not all zero.
std::string ReadGolden() {
    std::ifstream file(QUARNEX_TEST_SOURCE_DIR "/fat12/fat12_template.golden.txt");
    std::string bytes;
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with("length ")) {
            bytes.assign(std::stoul(line.substr(7)), '\0');
        } else if (!line.empty() && line[0] != '#') {
            std::size_t at = std::stoul(line.substr(0, 8), nullptr, 16);
            std::string hex = line.substr(10, 39);
            std::erase(hex, ' ');
            for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
                bytes.at(at++) = static_cast<char>(std::stoul(hex.substr(i, 2), nullptr, 16));
            }
        }
    }
    return bytes;
}

TEST(Fat12Template, BuildWritesExactlyTheCheckedInBytes) {
    std::ifstream file(kTemplatePath, std::ios::binary);
    ASSERT_TRUE(file) << "the build must write " << kTemplatePath;
    const std::string actual{std::istreambuf_iterator<char>(file), {}};
    const std::string golden = ReadGolden();
    ASSERT_EQ(golden.size(), 1474560u);
    EXPECT_TRUE(golden == actual) << "length " << actual.size();
}

// Printable 0x20..0x7F bytes only; an image one byte too short for the
// label reads as none.
TEST(VolumeLabel, ReadAcceptsOnlyElevenBytesFrom0x20To0x7F) {
    const std::pair<std::string, std::string> cases[] = {
        {" !\177DEFGHIJK", " !\177DEFGHIJK"},  // both ends of the range
        {"ABCDEFGHIJ\037", ""},
        {"\200BCDEFGHIJK", ""},
        {std::string(11, '\0'), ""},             // never formatted
        {"NO NAME    ", std::string(11, ' ')}};  // what FAT systems store for no label
    for (const auto& [bytes, read] : cases) {
        Image image(kBootLabelOffset + kLabelBytes);
        std::memcpy(image.data() + kBootLabelOffset, bytes.data(), kLabelBytes);
        EXPECT_EQ(ReadVolumeLabel(image), read) << bytes;
        image.pop_back();
        EXPECT_EQ(ReadVolumeLabel(image), "") << bytes;
    }
}

// A blank label deletes a label entry and is "NO NAME" in the boot sector
// (spaces in either place fail fsck.fat); the next label brings it back. A
// volume whose root lies elsewhere (4 reserved sectors) gets the label in its
// own label entry and no other byte changes.
TEST(VolumeLabel, OnlyTheBootSectorAndTheVolumesOwnLabelEntryAreWritten) {
    Image image = Blank();
    ASSERT_TRUE(WriteVolumeLabel(image, ""));
    EXPECT_EQ(std::tuple(image[9728], Text(image, 43, 11)),
              std::tuple(kDeletedMark, "NO NAME    "));
    ASSERT_TRUE(WriteVolumeLabel(image, "NEW"));
    EXPECT_EQ(Text(image, 9728, 12), "NEW        \x08");
    if (!testing::HaveTools({"mkfs.fat"})) {
        GTEST_SKIP() << "dosfstools not installed";
    }
    testing::TempDir dir;
    ASSERT_EQ(
        testing::RunCommand("mkfs.fat -C " + dir / "v.img" + " 1440 -R 4 -n OLDLABEL >/dev/null"),
        0);
    image = testing::ReadVolume(dir / "v.img");
    const std::size_t root = ReadLayout(image).layout.value().rootOffset;
    const Image before = image;
    ASSERT_TRUE(WriteVolumeLabel(image, "NEW"));
    EXPECT_EQ(Text(image, root, 12), "NEW        \x08");
    EXPECT_EQ(ReadVolumeLabel(image), "NEW        ");
    for (std::size_t at = 0; at < image.size(); ++at) {
        const bool label = (at >= 43 && at < 54) || (at >= root && at < root + 11);
        ASSERT_TRUE(label || image[at] == before[at]) << "byte " << at << " changed";
    }
}

// Every slot of one format, and every slot of formats at other seconds up to
// 48 days apart, gets a serial of its own.
TEST(VolumeSerial, NoTwoSlotsOrSecondsShareOne) {
    const auto at = [](int day, int hour, int minute, double second, unsigned slot) {
        return VolumeSerialNumber(MakeStamp(2026, 3, day, hour, minute, second), slot);
    };
    // Worked out apart from the code: seconds since 1980 times 1024 plus the
    // slot, through the last step of MurmurHash3.
    EXPECT_EQ(std::vector({at(14, 12, 0, 0, 0), at(14, 12, 0, 0, 1), at(14, 12, 0, 1.5, 0),
                           VolumeSerialNumber(MakeStamp(1980, 1, 1, 0, 0, 0), 1)}),
              std::vector<std::uint32_t>({0x4B681A31, 0x0CF4375C, 0x4340E817, 0x514E28B7}));
    std::set<std::uint32_t> seen;
    // Seconds after March 1st, 00:00: one apart, a minute, an hour, a day, 31 days.
    for (const int s : {0, 1, 2, 60, 3600, 86400, 86401, 31 * 86400 - 1}) {
        for (unsigned slot = 0; slot < kSerialSlots; ++slot) {
            seen.insert(at(1 + s / 86400, s / 3600 % 24, s / 60 % 60, s % 60, slot));
        }
    }
    EXPECT_EQ(seen.size(), 8 * kSerialSlots);
    Image image(kSerialOffset + 4, std::byte{0xA5});
    ASSERT_TRUE(WriteVolumeSerial(image, 0x12345678));
    EXPECT_EQ(Text(image, 38, 5), "\xA5\x78\x56\x34\x12");
    image.pop_back();
    EXPECT_FALSE(WriteVolumeSerial(image, 1));
}

}  // namespace
}  // namespace quarnex::fat12
