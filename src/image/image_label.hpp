#pragma once
// The volume label of a floppy image as the program shows it.

#include <cstddef>
#include <span>
#include <string>

namespace quarnex {

// Shown for an unreadable or blank label.
inline constexpr const char* kNoLabelText = "-----------";

// The 11 label bytes at offset 43 when every one lies in 0x20..0x7F;
// eleven hyphens when one does not, when they are all spaces, or when the
// image is too short to hold them.
std::string ShownImageLabel(std::span<const std::byte> image);

}  // namespace quarnex
