#include "frame/text.hpp"

#include <gtest/gtest.h>

namespace quarnex {
namespace {

TEST(ShortenPath, KeepsTheLongestCandidateThatFits) {
    const std::string path = "C:/Documents and Settings/User/My Documents/Images/disk.img";
    ASSERT_EQ(path.size(), 59u);
    EXPECT_EQ(ShortenPath(path), "C:/Documents and Settings/.../disk.img");

    // All three fit; candidate 3 (the last two parts kept) is the longest.
    const std::string deep = "/a/" + std::string(40, 'x') + "/images/disk.img";
    EXPECT_EQ(ShortenPath(deep), "/.../images/disk.img");
}

TEST(ShortenPath, FallsBackToTheFileNameWhenNothingFits) {
    const std::string name(49, 'n');
    EXPECT_EQ(ShortenPath("C:/a/" + name), name);
}

TEST(ShortenPath, LeavesPathsOutsideItsLimitsAlone) {
    const std::string forty(40, 'p');
    EXPECT_EQ(ShortenPath(forty), forty);
    const std::string oneSeparator = "/" + std::string(40, 'q');
    ASSERT_EQ(oneSeparator.size(), 41u);
    EXPECT_EQ(ShortenPath(oneSeparator), oneSeparator);
    const std::string noSeparator(60, 'r');
    EXPECT_EQ(ShortenPath(noSeparator), noSeparator);
    std::string manySeparators;
    for (int i = 0; i < 41; ++i) {
        manySeparators += "/d";
    }
    EXPECT_EQ(ShortenPath(manySeparators), manySeparators);
}

TEST(ShortenPath, EqualLengthsPreferTheLowerCandidate) {
    // The first and the last folder have the same length, so candidates 2
    // and 3 are both 18 characters long: candidate 2 wins.
    const std::string path = "/aaaa/" + std::string(30, 'm') + "/bbbb/file.img";
    ASSERT_EQ(path.size(), 50u);
    EXPECT_EQ(ShortenPath(path), "/aaaa/.../file.img");
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
