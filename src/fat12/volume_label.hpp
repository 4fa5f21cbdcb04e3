#pragma once
// The volume label: 11 bytes in the boot sector, where the program reads a
// volume's ID, and the same 11 bytes as the name of the root's first entry,
// where formatting writes them a second time.

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "fat12/boot_sector.hpp"

namespace quarnex::fat12 {

inline constexpr std::size_t kLabelBytes = sizeof(BootSector::volumeLabel);

// The boot sector's label as 11 characters when every byte lies in
// 0x20..0x7F (11 spaces for "NO NAME", the mark of no label); empty when one
// does not or image is too short to hold it.
std::string ReadVolumeLabel(std::span<const std::byte> image);

// Writes the 8-bit form of idText (VolumeIdBytes) to the boot sector's label
// and to the name of the root's first entry (on a volume whose root lies
// elsewhere, to its own label entry if it has one); a blank label is
// "NO NAME" in the boot sector and marks that entry deleted when it is a
// volume-label entry. False, and nothing written, when image is too short
// to hold the entry.
bool WriteVolumeLabel(std::span<std::byte> image, std::string_view idText);

// The ID as formatting uses it: its first 11 characters (UTF-8 text, never
// cut inside a character), padded with spaces to 11 characters.
std::string VolumeIdText(std::string_view id);

// The characters of an ID that a label cannot hold so that it reads back as
// an ID: everything but printable ASCII (control characters, DEL, anything
// past U+007E), each once, in the order they come; empty when there is none.
std::string CharactersNoLabelHolds(std::string_view id);

// The 8-bit form of such an ID, one byte per character: ASCII as it is,
// U+0080..U+00FF as that byte (Latin-1), anything else as "?"; spaces after
// the text.
std::array<std::byte, kLabelBytes> VolumeIdBytes(std::string_view idText);

}  // namespace quarnex::fat12
