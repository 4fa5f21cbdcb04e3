#include "core/text.hpp"

#include <gtest/gtest.h>

namespace quarnex {
namespace {

TEST(ShortenPath, KeepsTheLongestCandidateThatFitsOrLeavesThePathAlone) {
    const std::string name(49, 'n'), forty(40, 'p'), many(41, '/');
    const std::pair<std::string, std::string> cases[] = {
        {"C:/Documents and Settings/User/My Documents/Images/disk.img",  // 59 characters
         "C:/Documents and Settings/.../disk.img"},
        // All three fit; candidate 3 (the last two parts kept) is the longest.
        {"/a/" + std::string(40, 'x') + "/images/disk.img", "/.../images/disk.img"},
        // 50 characters; candidates 2 and 3 are both 18 long: the lower wins.
        {"/aaaa/" + std::string(30, 'm') + "/bbbb/file.img", "/aaaa/.../file.img"},
        {"C:/a/" + name, name},                                    // nothing fits: the file name
        {forty, forty},                                            // short enough
        {"/" + std::string(40, 'q'), "/" + std::string(40, 'q')},  // one separator only
        {std::string(60, 'r'), std::string(60, 'r')},              // no separator
        {many, many}};                                             // too many separators
    for (const auto& [path, shown] : cases) {
        EXPECT_EQ(ShortenPath(path), shown) << path;
    }
}

TEST(NumberFormats, DigitsThousandsRoundingAndLenientReading) {
    EXPECT_EQ(ThreeDigits(0) + ThreeDigits(7) + ThreeDigits(999) + ThreeDigits(1000),
              "0000079991000");
    const std::pair<long long, const char*> thousands[] = {
        {0, "0"}, {999, "999"}, {1000, "1,000"}, {1572864001, "1,572,864,001"}, {-1234, "-1,234"}};
    for (const auto& [number, text] : thousands) {
        EXPECT_EQ(FormatThousands(number), text);
    }
    const std::pair<double, double> halves[] = {{12.5, 12}, {13.5, 14},  {0.5, 0},   {-2.5, -2},
                                                {-3.5, -4}, {2.4999, 2}, {99.6, 100}};
    for (const auto& [value, rounded] : halves) {
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
    }
    const std::pair<const char*, double> lenient[] = {
        {"007", 7}, {"  12abc", 12},     {"-01", -1},    {"SRC", 0}, {"", 0},
        {"-", 0},   {"7000.5,", 7000.5}, {"1.2.3", 1.2}, {"+5 6", 5}};
    for (const auto& [text, number] : lenient) {
        EXPECT_EQ(LenientNumber(text), number) << text;
    }
}

TEST(TextHelpers, SearchTrimUpperPad) {
    EXPECT_EQ(fntLastOf("C:\\a\\b\\c.exe", "\\"), 7u);  // the third backslash
    EXPECT_EQ(fntLastOf("abc", "Z"), 0u);
    EXPECT_EQ(TrimSpaces("  a b  ") + "|" + TrimSpaces("   "), "a b|");
    EXPECT_EQ(ToUpperAscii("abc\xe9z"), "ABC\xe9Z");
    // ID dialogs: the small letters of Windows-1252 too ("ü", "é", "ÿ", "š",
    // "œ", "ž"); sharp s, division sign, other scripts and broken bytes stay.
    EXPECT_EQ(ToUpperLabel("a\xC3\xBC\xC3\xA9\xC3\xBF\xC5\xA1\xC5\x93\xC5\xBE"),
              "A\xC3\x9C\xC3\x89\xC5\xB8\xC5\xA0\xC5\x92\xC5\xBD");
    EXPECT_EQ(ToUpperLabel("\xC3\x9F\xC3\xB7\xD0\xB1\xE2\x82\xAC\xFFz"),
              "\xC3\x9F\xC3\xB7\xD0\xB1\xE2\x82\xAC\xFFZ");
    EXPECT_EQ(PadRight("ab", 5) + PadRight("abcdef", 3), "ab   abcdef");
    EXPECT_EQ(LeftChars("abcdef", 3) + LeftChars("ab", 3), "abcab");
}

}  // namespace
}  // namespace quarnex
