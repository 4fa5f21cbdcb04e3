#include <algorithm>
#include <cstring>

#include "fat12/fat12_layout.hpp"
#include "fat12/fat12_volume.hpp"

namespace quarnex::fat12 {

namespace {

// Fixed serial number and stamp (2026-01-01 00:00), so every build of the
// template gives the same bytes.
constexpr std::uint32_t kSerialNumber = 0x51A2C0DE;
constexpr std::uint16_t kFixedDate = ((2026 - 1980) << 9) | (1 << 5) | 1;
constexpr std::uint16_t kFixedTime = 0;

void PutText(std::span<std::byte> bytes, std::size_t offset, std::string_view text,
             std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        bytes[offset + i] = static_cast<std::byte>(i < text.size() ? text[i] : ' ');
    }
}

void WriteBootSector(std::span<std::byte> image, std::string_view label) {
    const unsigned char jump[] = {0xEB, 0x3C, 0x90};
    for (std::size_t i = 0; i < sizeof jump; ++i) {
        image[i] = static_cast<std::byte>(jump[i]);
    }
    PutText(image, 3, "QUARNEX", 8);
    Put16(image, 11, kBytesPerSector);
    image[13] = static_cast<std::byte>(kSectorsPerCluster);
    Put16(image, 14, kReservedSectors);
    image[16] = static_cast<std::byte>(kFatCount);
    Put16(image, 17, kRootEntries);
    Put16(image, 19, kTotalSectors);
    image[21] = static_cast<std::byte>(kMediaDescriptor);
    Put16(image, 22, kSectorsPerFat);
    Put16(image, 24, kSectorsPerTrack);
    Put16(image, 26, kHeads);
    image[38] = std::byte{0x29};  // extended boot record follows
    Put32(image, 39, kSerialNumber);
    PutText(image, kLabelFieldOffset, label, kLabelBytes);
    PutText(image, kFsTypeOffset, "FAT12", 8);
    // Boot code: a message would need a loader; halting is enough.
    const unsigned char halt[] = {0xFA, 0xF4, 0xEB, 0xFD};  // cli; hlt; jmp $-1
    for (std::size_t i = 0; i < sizeof halt; ++i) {
        image[62 + i] = static_cast<std::byte>(halt[i]);
    }
    image[510] = std::byte{0x55};
    image[511] = std::byte{0xAA};
}

}  // namespace

void StampDirEntry(std::span<std::byte> entry) {
    Put16(entry, 14, kFixedTime);
    Put16(entry, 16, kFixedDate);
    Put16(entry, 18, kFixedDate);
    Put16(entry, 22, kFixedTime);
    Put16(entry, 24, kFixedDate);
}

void BuildBlankVolume(std::span<std::byte> image, std::string_view label) {
    std::fill_n(image.begin(), kVolumeBytes, std::byte{0});
    WriteBootSector(image, label);
    for (std::size_t copy = 0; copy < kFatCount; ++copy) {
        std::span<std::byte> fat = image.subspan(kFatOffset + copy * kFatBytes, kFatBytes);
        SetFatEntry(fat, 0, 0xF00 | kMediaDescriptor);
        SetFatEntry(fat, 1, kEndOfChain);
    }
    std::span<std::byte> entry = image.subspan(kRootOffset, kDirEntryBytes);
    PutText(entry, 0, label, kLabelBytes);
    entry[11] = static_cast<std::byte>(kAttrVolumeLabel);
    StampDirEntry(entry);
}

std::string ReadBootLabel(std::span<const std::byte> image) {
    std::string label(kLabelBytes, ' ');
    std::memcpy(label.data(), image.data() + kLabelFieldOffset, kLabelBytes);
    return label;
}

}  // namespace quarnex::fat12
