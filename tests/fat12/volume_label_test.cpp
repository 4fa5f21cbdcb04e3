#include "fat12/volume_label.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <tuple>
#include <vector>

#include "core/text.hpp"
#include "fat12/dir_entry.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/geometry.hpp"
#include "fat12/volume_layout.hpp"
#include "fat12/volume_serial.hpp"
#include "support/temp_dir.hpp"

namespace quarnex::fat12 {
namespace {

using Image = std::vector<std::byte>;

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
// (spaces in either place fail fsck.fat); the next label brings it back.
// (A label changing only its two places: the image format's and the terminal
// tool's image tests compare every byte.)
TEST(VolumeLabel, ABlankLabelDeletesItsEntryAndTheNextBringsItBack) {
    Image image(kVolumeBytes);
    BuildBlankVolume(image, "OLD");
    ASSERT_TRUE(WriteVolumeLabel(image, ""));
    EXPECT_EQ(std::tuple(image[9728], std::string(reinterpret_cast<const char*>(&image[43]), 11)),
              std::tuple(kDeletedMark, "NO NAME    "));
    ASSERT_TRUE(WriteVolumeLabel(image, "NEW"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[9728]), 12), "NEW        \x08");
}

// A volume whose root lies elsewhere (4 reserved sectors) gets the label in
// its own label entry; the bytes at the program's root offset stay.
TEST(VolumeLabel, AnotherLayoutKeepsItsLabelEntryAndNothingElseIsWritten) {
    if (!testing::HaveTools({"mkfs.fat"})) {
        GTEST_SKIP() << "dosfstools not installed";
    }
    testing::TempDir dir;
    ASSERT_EQ(
        testing::RunCommand("mkfs.fat -C " + dir / "v.img" + " 1440 -R 4 -n OLDLABEL >/dev/null"),
        0);
    Image image = testing::ReadVolume(dir / "v.img");
    const std::size_t root = ReadLayout(image).layout.value().rootOffset;
    const Image before = image;
    ASSERT_TRUE(WriteVolumeLabel(image, "NEW"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[root]), 12), "NEW        \x08");
    EXPECT_EQ(ReadVolumeLabel(image), "NEW        ");
    for (std::size_t at = 0; at < image.size(); ++at) {
        const bool label = (at >= 43 && at < 54) || (at >= root && at < root + 11);
        ASSERT_TRUE(label || image[at] == before[at]) << "byte " << at << " changed";
    }
}

// IDs are typed as UTF-8 text and stored one byte per character.
TEST(VolumeLabel, CharactersNotBytesAndTheirEightBitForm) {
    const std::string ae = "\xC3\xA4", euro = "\xE2\x82\xAC";
    EXPECT_EQ(FirstCharacters("ab" + euro + "c", 3), "ab" + euro) << "the euro sign whole";
    EXPECT_EQ(FirstCharacters("ab\xE2\x82", 3), "ab\xE2") << "a broken sequence byte by byte";
    const auto bytes = VolumeIdBytes(ae + euro + "\xFFZ");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
              "\xE4??Z       ")
        << "Latin-1 keeps its byte; beyond it, and a byte that is no character, give ?";
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
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.data()) + 38, 5),
              "\xA5\x78\x56\x34\x12");
    image.pop_back();
    EXPECT_FALSE(WriteVolumeSerial(image, 1));
}

}  // namespace
}  // namespace quarnex::fat12
