#include "fat12/volume_label.hpp"

#include <algorithm>
#include <optional>

#include "core/utf8.hpp"
#include "fat12/dir_entry.hpp"
#include "fat12/geometry.hpp"
#include "fat12/volume_layout.hpp"

namespace quarnex::fat12 {

static_assert(sizeof(DirEntry::name) == kLabelBytes);

namespace {

// What FAT systems keep in the boot sector of a volume without a label;
// fsck.fat takes a field of spaces for a broken label.
constexpr std::string_view kNoNameLabel = "NO NAME    ";
static_assert(kNoNameLabel.size() == kLabelBytes);

}  // namespace

std::string ReadVolumeLabel(std::span<const std::byte> image) {
    if (image.size() < kBootLabelOffset + kLabelBytes) {
        return {};
    }
    std::string label;
    for (const std::byte byte : image.subspan(kBootLabelOffset, kLabelBytes)) {
        const auto value = std::to_integer<unsigned char>(byte);
        if (value < 0x20 || value > 0x7F) {
            return {};
        }
        label += static_cast<char>(value);
    }
    return label == kNoNameLabel ? std::string(kLabelBytes, ' ') : label;
}

namespace {

// Where the label's root entry lies: the root's first entry on the
// program's own layout (and on a volume whose layout cannot be read, such as
// a template that did not load); on another layout that volume's own label
// entry, or none, so nothing of another volume is written over.
std::optional<std::size_t> LabelEntryOffset(std::span<const std::byte> image) {
    const LayoutCheck check = ReadLayout(image);
    if (!check.layout || check.layout->rootOffset == kRootOffset) {
        return kRootLabelOffset;
    }
    const Layout& layout = *check.layout;
    for (std::size_t entry = 0; entry < layout.rootEntries; ++entry) {
        const std::size_t at = layout.rootOffset + entry * sizeof(DirEntry);
        if (at + sizeof(DirEntry) > image.size() || image[at] == kEndOfDirectory) {
            break;
        }
        const std::byte attributes = image[at + offsetof(DirEntry, attributes)];
        if (image[at] != kDeletedMark && attributes != kAttrLongName &&
            (attributes & kAttrVolumeLabel) != std::byte{0}) {
            return at;
        }
    }
    return std::nullopt;
}

}  // namespace

bool WriteVolumeLabel(std::span<std::byte> image, std::string_view idText) {
    if (image.size() < RootEntryOffset(1)) {
        return false;
    }
    const std::optional<std::size_t> entry = LabelEntryOffset(image);
    const std::array<std::byte, kLabelBytes> bytes = VolumeIdBytes(idText);
    const bool blank = std::ranges::all_of(bytes, [](std::byte b) { return b == std::byte{' '}; });
    const std::span<const std::byte> boot =
        blank ? std::as_bytes(std::span(kNoNameLabel)) : std::span<const std::byte>(bytes);
    std::ranges::copy(boot, image.begin() + kBootLabelOffset);
    if (!entry) {
        return true;
    }
    const auto name = image.begin() + static_cast<std::ptrdiff_t>(*entry);
    std::ranges::copy(bytes, name);
    // A name of spaces is no valid label entry, so a blank label marks the
    // entry deleted; the next label written brings it back.
    const auto attributes = image[*entry + offsetof(DirEntry, attributes)];
    if (blank && attributes == kAttrVolumeLabel) {
        *name = kDeletedMark;
    }
    return true;
}

std::string VolumeIdText(std::string_view id) {
    std::string text;
    std::size_t characters = 0;
    for (std::size_t at = 0; at < id.size() && characters < kLabelBytes; ++characters) {
        const std::size_t length = NextCodePoint(id.substr(at)).length;
        text += id.substr(at, length);
        at += length;
    }
    text.append(kLabelBytes - characters, ' ');
    return text;
}

std::string CharactersNoLabelHolds(std::string_view id) {
    std::string refused;
    for (std::size_t at = 0; at < id.size();) {
        const CodePoint character = NextCodePoint(id.substr(at));
        const std::string_view text = id.substr(at, character.length);
        at += character.length;
        // A byte that is not UTF-8 is written as "?" (VolumeIdBytes), which a label holds.
        const char32_t point = character.valid ? character.point : U'?';
        const bool printable = point >= 0x20 && point < 0x7F;
        if (!printable && refused.find(text) == std::string::npos) {
            refused += text;
        }
    }
    return refused;
}

std::array<std::byte, kLabelBytes> VolumeIdBytes(std::string_view idText) {
    std::array<std::byte, kLabelBytes> bytes{};
    bytes.fill(std::byte{' '});
    std::size_t at = 0;
    for (std::byte& byte : bytes) {
        if (at >= idText.size()) {
            break;
        }
        const CodePoint character = NextCodePoint(idText.substr(at));
        at += character.length;
        byte =
            std::byte{static_cast<unsigned char>(character.point <= 0xFF ? character.point : '?')};
    }
    return bytes;
}

}  // namespace quarnex::fat12
