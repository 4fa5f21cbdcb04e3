#include "core/text.hpp"

#include <gtest/gtest.h>

#include <tuple>

#include "core/sha256.hpp"
#include "core/text_encoding.hpp"

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

TEST(TextEncoding, FilesAreReadAsTheyCameAndWrittenBackByteForByte) {
    using enum TextEncoding;
    // Bytes of a file; its encoding, its text, how many sequences were invalid.
    const std::tuple<std::string, TextEncoding, std::string, std::size_t> cases[] = {
        {"Caf\xE9 \xFC \x80\x8A\x9F\x81", Windows1252, "Café ü €ŠŸ\u0081", 0},
        {"plain ASCII", Windows1252, "plain ASCII", 0},
        {"Caf\xC3\xA9 \xE2\x82\xAC", Utf8, "Café €", 0},
        {"\xC0\xAF overlong, so 1252", Windows1252, "À¯ overlong, so 1252", 0},
        {"\xED\xA0\x80 surrogate, so 1252", Windows1252, "í\u00A0€ surrogate, so 1252", 0},
        {"Caf\xC3\xA9 and one stray \x80", Windows1252, "CafÃ© and one stray €", 0},
        // The bytes the code page leaves undefined are the C1 controls, as in Windows.
        {"\x81\x8D\x8F\x90\x9D", Windows1252, "\u0081\u008D\u008F\u0090\u009D", 0},
        {"\xEF\xBB\xBFMy \xC3\xA9", Utf8Bom, "My é", 0},
        {"\xEF\xBB\xBFwrong \xE9", Utf8Bom, "wrong \uFFFD", 1},
        {std::string("\xFF\xFEM\0y\0 \0\xE9\0\r\0\n\0", 14), Utf16Le, "My é\r\n", 0},
        {std::string("\xFE\xFF\xD8\x3D\xDE\x00\0x", 8), Utf16Be, "\U0001F600x", 0},
        {std::string("\xFF\xFE\x00\xD8z\0y", 7), Utf16Le, "\uFFFDz\uFFFD", 2},
    };
    for (const auto& [bytes, encoding, text, invalid] : cases) {
        const DecodedText decoded = DecodeText(bytes);
        EXPECT_EQ(std::tuple(decoded.encoding, decoded.text, decoded.invalid),
                  std::tuple(encoding, text, invalid))
            << bytes;
        if (invalid == 0) {
            EXPECT_EQ(EncodeText(decoded.text, encoding), bytes);
        }
    }
    std::string everyByte;
    for (int byte = 0; byte < 256; ++byte) {
        everyByte += static_cast<char>(byte);
    }
    const DecodedText decoded = DecodeText(everyByte);
    EXPECT_EQ(decoded.encoding, Windows1252);
    EXPECT_EQ(EncodeText(decoded.text, Windows1252), everyByte) << "each byte comes back";
    // What Windows-1252 cannot hold, and bytes that are not UTF-8, become "?".
    EXPECT_EQ(EncodeText("日 \xE9 é", Windows1252), "? ? \xE9");
}

// ID dialogs upper-case the small letters of Windows-1252 too ("ü", "é", "ÿ",
// "š", "œ", "ž"); sharp s, division sign, other scripts and broken bytes stay.
TEST(ToUpperLabel, SmallLettersOfWindows1252) {
    EXPECT_EQ(ToUpperLabel("a\xC3\xBC\xC3\xA9\xC3\xBF\xC5\xA1\xC5\x93\xC5\xBE"),
              "A\xC3\x9C\xC3\x89\xC5\xB8\xC5\xA0\xC5\x92\xC5\xBD");
    EXPECT_EQ(ToUpperLabel("\xC3\x9F\xC3\xB7\xD0\xB1\xE2\x82\xAC\xFFz"),
              "\xC3\x9F\xC3\xB7\xD0\xB1\xE2\x82\xAC\xFFZ");
}

// The system's SHA-256 (nettle, or CNG on Windows) as sha256sum prints it.
TEST(Sha256Hex, KnownDigests) {
    const std::string abc = "abc";
    EXPECT_EQ(Sha256Hex(std::as_bytes(std::span(abc))),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256Hex({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

}  // namespace
}  // namespace quarnex
