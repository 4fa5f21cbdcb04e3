#include "core/text.hpp"

#include <gtest/gtest.h>

namespace quarnex {
namespace {

TEST(ShortenPath, KeepsTheLongestCandidateThatFitsOrLeavesThePathAlone) {
    const std::string name(49, 'n'), forty(40, 'p');
    std::string many;  // 41 separators
    for (int i = 0; i < 41; ++i) {
        many += "/d";
    }
    const struct {
        std::string path, shown;
    } cases[] = {
        // 59 characters.
        {"C:/Documents and Settings/User/My Documents/Images/disk.img",
         "C:/Documents and Settings/.../disk.img"},
        // All three fit; candidate 3 (the last two parts kept) is the longest.
        {"/a/" + std::string(40, 'x') + "/images/disk.img", "/.../images/disk.img"},
        // 50 characters; candidates 2 and 3 are both 18 long: the lower wins.
        {"/aaaa/" + std::string(30, 'm') + "/bbbb/file.img", "/aaaa/.../file.img"},
        {"C:/a/" + name, name},                                    // nothing fits: the file name
        {forty, forty},                                            // short enough
        {"/" + std::string(40, 'q'), "/" + std::string(40, 'q')},  // one separator only
        {std::string(60, 'r'), std::string(60, 'r')},              // no separator
        {many, many},                                              // too many separators
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShortenPath(c.path), c.shown) << c.path;
    }
}

TEST(NumberFormats, ThreeDigitsAndThousands) {
    EXPECT_EQ(ThreeDigits(7), "007");
    EXPECT_EQ(ThreeDigits(0), "000");
    EXPECT_EQ(ThreeDigits(999), "999");
    EXPECT_EQ(ThreeDigits(1000), "1000");
    EXPECT_EQ(FormatThousands(0), "0");
    EXPECT_EQ(FormatThousands(999), "999");
    EXPECT_EQ(FormatThousands(1000), "1,000");
    EXPECT_EQ(FormatThousands(1474559), "1,474,559");
    EXPECT_EQ(FormatThousands(1572864001), "1,572,864,001");
    EXPECT_EQ(FormatThousands(-1234), "-1,234");
}

TEST(NumberFormats, RoundHalfEven) {
    EXPECT_EQ(RoundHalfEven(12.5), 12.0);
    EXPECT_EQ(RoundHalfEven(13.5), 14.0);
    EXPECT_EQ(RoundHalfEven(0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(-3.5), -4.0);
    EXPECT_EQ(RoundHalfEven(2.4999), 2.0);
    EXPECT_EQ(RoundHalfEven(99.6), 100.0);
}

TEST(LenientNumber, ReadsTheLeadingNumber) {
    EXPECT_EQ(LenientNumber("007"), 7);
    EXPECT_EQ(LenientNumber("  12abc"), 12);
    EXPECT_EQ(LenientNumber("-01"), -1);
    EXPECT_EQ(LenientNumber("  1"), 1);
    EXPECT_EQ(LenientNumber("SRC"), 0);
    EXPECT_EQ(LenientNumber(""), 0);
    EXPECT_EQ(LenientNumber("-"), 0);
    EXPECT_EQ(LenientNumber("7000.5,"), 7000.5);
    EXPECT_EQ(LenientNumber("1.2.3"), 1.2);
    EXPECT_EQ(LenientNumber("+5 6"), 5);
}

TEST(CharacterSearch, FirstAndLastOf) {
    EXPECT_EQ(fntFirstOf("a,b c", ", "), 2u);
    EXPECT_EQ(fntFirstOf("abc", "xyz"), 0u);
    EXPECT_EQ(fntFirstOf("", ","), 0u);
    EXPECT_EQ(fntFirstOf("abc", ""), 0u);
    EXPECT_EQ(fntLastOf("C:\\a\\b\\c.exe", "\\"), 7u);  // the third backslash
    EXPECT_EQ(fntLastOf("abc", "Z"), 0u);
    EXPECT_EQ(fntFirstOf("ABC", "b"), 0u);  // case-sensitive
}

TEST(TextHelpers, UnsignedTrimUpperPad) {
    EXPECT_EQ(UnsignedToDouble(-1), 4294967295.0);
    EXPECT_EQ(UnsignedToDouble(5), 5.0);
    EXPECT_EQ(TrimSpaces("  a b  "), "a b");
    EXPECT_EQ(TrimSpaces("   "), "");
    EXPECT_EQ(ToUpperAscii("abc\xe9z"), "ABC\xe9Z");
    EXPECT_EQ(PadRight("ab", 5), "ab   ");
    EXPECT_EQ(PadRight("abcdef", 3), "abcdef");
    EXPECT_EQ(LeftChars("abcdef", 3), "abc");
    EXPECT_EQ(LeftChars("ab", 3), "ab");
}

}  // namespace
}  // namespace quarnex
