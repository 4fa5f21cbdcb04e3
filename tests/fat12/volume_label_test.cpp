#include "fat12/volume_label.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/text.hpp"
#include "fat12/dir_entry.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/geometry.hpp"

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
        {std::string(11, '\0'), ""}};  // never formatted
    for (const auto& [bytes, read] : cases) {
        Image image(kBootLabelOffset + kLabelBytes);
        std::memcpy(image.data() + kBootLabelOffset, bytes.data(), kLabelBytes);
        EXPECT_EQ(ReadVolumeLabel(image), read) << bytes;
        image.pop_back();
        EXPECT_EQ(ReadVolumeLabel(image), "") << bytes;
    }
}

TEST(VolumeLabel, WriteChangesExactlyTheBootLabelAndTheRootEntryName) {
    Image image(kVolumeBytes, std::byte{0xA5});
    Image expected = image;
    ASSERT_TRUE(WriteVolumeLabel(image, "\303\244bc"));
    for (const std::size_t at : {std::size_t{43}, std::size_t{9728}}) {
        std::memcpy(expected.data() + at, "\344bc        ", 11);
    }
    EXPECT_TRUE(image == expected) << "only the boot label and the root entry's name change";
    // A blank label deletes a label entry (a name of spaces fails fsck.fat);
    // the next label brings it back.
    BuildBlankVolume(image, "OLD");
    ASSERT_TRUE(WriteVolumeLabel(image, ""));
    EXPECT_EQ(image[9728], kDeletedMark);
    ASSERT_TRUE(WriteVolumeLabel(image, "NEW"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[9728]), 12), "NEW        \x08");
    Image shortImage(9738, std::byte{0});
    EXPECT_FALSE(WriteVolumeLabel(shortImage, "X"));
    EXPECT_EQ(shortImage, Image(9738, std::byte{0})) << "nothing written";
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

}  // namespace
}  // namespace quarnex::fat12
