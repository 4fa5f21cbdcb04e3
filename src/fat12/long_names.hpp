#pragma once
// VFAT long names: the UTF-16 name spread over entries of attribute 0x0F that
// precede the short entry they belong to, tied to it by a checksum.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarnex::fat12 {

using RawEntry = std::array<std::byte, 32>;

inline constexpr std::size_t kLongNameUnits = 255;
inline constexpr std::size_t kUnitsPerEntry = 13;
inline constexpr std::byte kLastLongEntry{0x40};  // ORed into the order byte of the first one

std::uint8_t ShortNameChecksum(const std::array<std::byte, 11>& shortName);

// UTF-8 and the UTF-16 of long names. Invalid UTF-8 gives nothing.
std::optional<std::u16string> Utf16FromUtf8(std::string_view text);
std::string Utf8FromUtf16(std::u16string_view text);

// Names compared as the systems that write these volumes compare them:
// letters without regard to case (ASCII, Latin-1, Greek and Cyrillic).
bool SameName(std::string_view a, std::string_view b);
// The code points of text with letters folded as SameName folds them.
std::u32string FoldedName(std::string_view text);

// The entries that carry name for the short name with that checksum, in the
// order they are stored (highest part first).
std::vector<RawEntry> LongNameEntries(std::u16string_view name, std::uint8_t checksum);

// Gathers the long-name entries before a short entry while the directory is
// read in order. A broken sequence or a checksum that does not match gives
// no name, so the short name is used, as other systems do.
class LongNameReader {
  public:
    void Add(const RawEntry& entry);
    void Reset() { expected_ = 0; }
    // The name for the short entry that follows, if the parts are complete.
    std::optional<std::string> Finish(const std::array<std::byte, 11>& shortName);

  private:
    std::u16string units_;
    unsigned expected_ = 0;  // order number the next part must carry; 0 = none pending
    std::uint8_t checksum_ = 0;
};

}  // namespace quarnex::fat12
