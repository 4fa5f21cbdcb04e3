#include "fat12/volume_label.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/text.hpp"
#include "fat12/dir_entry.hpp"
#include "fat12/geometry.hpp"

namespace quarnex::fat12 {
namespace {

using Image = std::vector<std::byte>;

Image WithBootLabel(std::string_view label, std::size_t size = 512) {
    Image image(size);
    for (std::size_t i = 0; i < label.size(); ++i) {
        image[kBootLabelOffset + i] = static_cast<std::byte>(label[i]);
    }
    return image;
}

TEST(VolumeLabel, ReadAcceptsOnlyElevenBytesFrom0x20To0x7F) {
    struct Case {
        std::string bytes;
        std::string read;
    };
    const Case cases[] = {
        {"MY DISK 001", "MY DISK 001"}, {"AB\177DEFGHIJK", "AB\177DEFGHIJK"},
        {" !~        ", " !~        "}, {"ABCDEFGHIJ\037", ""},
        {"\200BCDEFGHIJK", ""},         {std::string(11, '\0'), ""},  // never formatted
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadVolumeLabel(WithBootLabel(c.bytes)), c.read) << c.bytes;
    }
    EXPECT_EQ(ReadVolumeLabel(Image(53, std::byte{'A'})), "") << "too short to hold a label";
    EXPECT_EQ(ReadVolumeLabel(Image(54, std::byte{'A'})), "AAAAAAAAAAA");
}

TEST(VolumeLabel, WriteChangesExactlyTheBootLabelAndTheRootEntryName) {
    Image image(kVolumeBytes, std::byte{0xA5});
    Image expected = image;
    ASSERT_TRUE(WriteVolumeLabel(image, "\303\244bc"));
    for (const std::size_t at : {std::size_t{43}, std::size_t{9728}}) {
        std::memcpy(expected.data() + at, "\344bc        ", 11);
    }
    EXPECT_TRUE(image == expected) << "only the boot label and the root entry's name change";
    Image shortImage(9738, std::byte{0});
    EXPECT_FALSE(WriteVolumeLabel(shortImage, "X"));
    EXPECT_EQ(shortImage, Image(9738, std::byte{0})) << "nothing written";
}

// IDs are typed as UTF-8 text and stored one byte per character.
TEST(VolumeLabel, CharactersNotBytesAndTheirEightBitForm) {
    const std::string ae = "\xC3\xA4", oe = "\xC3\xB6", ue = "\xC3\xBC", euro = "\xE2\x82\xAC";
    // Eleven characters of which three take two bytes each.
    EXPECT_EQ(FirstCharacters(ae + oe + ue + "abcdefghijk", 11), ae + oe + ue + "abcdefgh");
    EXPECT_EQ(FirstCharacters("ab" + euro, 3), "ab" + euro) << "the euro sign whole";
    EXPECT_EQ(FirstCharacters("ab\xE2\x82", 3), "ab\xE2") << "a broken sequence byte by byte";
    EXPECT_EQ(VolumeIdText(ae + "b"), ae + "b         ");
    EXPECT_EQ(VolumeIdText("ABCDEFGHIJKLMN"), "ABCDEFGHIJK");
    const auto bytes = VolumeIdBytes(ae + euro + "\xFFZ");
    const std::string expected = "\xE4??Z       ";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()), expected)
        << "Latin-1 keeps its byte; beyond it, and a byte that is no character, give ?";
}

}  // namespace
}  // namespace quarnex::fat12
