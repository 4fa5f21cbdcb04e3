#pragma once
// 8.3 short names: the exact form of a name that fits, the display form of a
// stored name, and the short name made for a long one ("LONGFI~1.TXT").

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quarnex::fat12 {

using ShortNameBytes = std::array<std::byte, 11>;

// Short names are stored in code page 850 (see code_page_850.hpp).

// "disks.txt" -> "DISKS   TXT", "café.txt" -> "CAF\x90    TXT"; empty when
// the name does not fit 8.3 in characters a short name can hold.
std::string ShortName(std::string_view name);

// The stored name as "NAME.EXT" in UTF-8 (0x05 read back as 0xE5),
// lower-cased where the case bits of the entry say so.
std::string ShortNameText(const ShortNameBytes& stored, std::byte caseBits);

struct ShortNameChoice {
    ShortNameBytes name{};
    std::byte caseBits{0};  // kLowerCaseBase / kLowerCaseExtension
    bool needsLongName = false;
};

// The short entry for a new file called name (a valid long name): the name
// itself when it fits 8.3 in one case per part, otherwise a basis name with
// the first "~N" tail that taken() does not report as used.
std::optional<ShortNameChoice> ChooseShortName(
    std::string_view name, const std::function<bool(const ShortNameBytes&)>& taken);

}  // namespace quarnex::fat12
