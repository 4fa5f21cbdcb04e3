#pragma once
// Small text helpers shared by every layer: number formats, lenient number
// reading, trimming and the path shortening used in labels.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quarnex {

// Line break inside every text the program shows or writes.
inline constexpr std::string_view kCrLf = "\r\n";

// "000".."999": slot numbers in texts. Values outside 0..999 still give at
// least three digits, negatives keep their sign.
std::string ThreeDigits(long value);

// The "###,###,###,##0" pattern: thousands separators, at least one digit.
std::string FormatThousands(std::int64_t value);

// Two lower-case hexadecimal digits per byte, as checksum tools print them.
std::string LowerHex(std::span<const std::byte> bytes);

// Rounds to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double value);

// Reads the leading decimal number of a text the way the file readers need it:
// leading blanks are skipped, an optional sign, digits and one decimal point
// are taken, reading stops at the first character that cannot continue the
// number, and a text without digits gives 0.
double LenientNumber(std::string_view text);

// 1-based position of the first (last) occurrence in text of any of the
// given characters; 0 when there is none or either string is empty.
std::size_t PositionOfFirst(std::string_view text, std::string_view characters);
std::size_t PositionOfLast(std::string_view text, std::string_view characters);

// A 32-bit value read as unsigned.
double UnsignedToDouble(std::int32_t value);

// Removes leading and trailing spaces (only the space character).
std::string TrimSpaces(std::string_view text);

// ASCII upper case; other bytes stay as they are.
std::string ToUpperAscii(std::string_view text);

// Upper case of a UTF-8 ID as the ID dialogs make it: ASCII letters and the
// small letters of Windows-1252 ("ü" becomes "Ü"); everything else as it is.
std::string ToUpperLabel(std::string_view text);

// First n characters (all of text when it is shorter).
std::string LeftChars(std::string_view text, std::size_t n);

// The first n characters of a UTF-8 text; a character is never cut in two
// (a byte that starts no valid character counts as one).
std::string FirstCharacters(std::string_view text, std::size_t n);

// text padded with trailing spaces to width (never cut).
std::string PadRight(std::string_view text, std::size_t width);

// Shortens a long path for a label: keeps the head and the file name and puts
// "..." between them, so that the result has at most 40 characters where the
// path allows it. Paths outside the algorithm's limits come back unchanged.
std::string ShortenPath(std::string_view path);

// Splits a text at CR LF, LF or a lone CR; a final line end gives no extra
// line. The views point into text.
std::vector<std::string_view> SplitLines(std::string_view text);

}  // namespace quarnex
