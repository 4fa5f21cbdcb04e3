#include <algorithm>

#include "fat12/boot_sector.hpp"
#include "fat12/dir_entry.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/fat_codec.hpp"
#include "fat12/geometry.hpp"
#include "fat12/volume_label.hpp"

namespace quarnex::fat12 {

namespace {

// Fixed, so that every build of the template gives the same bytes.
constexpr std::uint32_t kSerialNumber = 0x51A2C0DE;

template <std::size_t N>
void PutText(std::array<std::byte, N>& field, std::string_view text) {
    for (std::size_t i = 0; i < N; ++i) {
        field[i] = static_cast<std::byte>(i < text.size() ? text[i] : ' ');
    }
}

BootSector BlankBootSector() {
    BootSector boot{};
    boot.jump = {std::byte{0xEB}, std::byte{0x3C}, std::byte{0x90}};
    PutText(boot.oemName, "QUARNEX");
    boot.bytesPerSector.Set(kBytesPerSector);
    boot.sectorsPerCluster = static_cast<std::byte>(kSectorsPerCluster);
    boot.reservedSectors.Set(kReservedSectors);
    boot.fatCount = static_cast<std::byte>(kFatCount);
    boot.rootEntries.Set(kRootEntries);
    boot.totalSectors.Set(kTotalSectors);
    boot.mediaDescriptor = static_cast<std::byte>(kMediaDescriptor);
    boot.sectorsPerFat.Set(kSectorsPerFat);
    boot.sectorsPerTrack.Set(kSectorsPerTrack);
    boot.heads.Set(kHeads);
    boot.extendedSignature = kExtendedBootSignature;
    boot.serialNumber.Set(kSerialNumber);
    PutText(boot.volumeLabel, "");
    PutText(boot.fileSystemType, "FAT12");
    // Boot code: a message would need a loader; halting is enough.
    const unsigned char halt[] = {0xFA, 0xF4, 0xEB, 0xFD};  // cli; hlt; jmp $-1
    for (std::size_t i = 0; i < sizeof halt; ++i) {
        boot.bootCode[i] = static_cast<std::byte>(halt[i]);
    }
    boot.signature = kBootSignature;
    return boot;
}

}  // namespace

void BuildBlankVolume(std::span<std::byte> image, std::string_view label) {
    std::fill_n(image.begin(), kVolumeBytes, std::byte{0});
    StoreRecord(image, 0, BlankBootSector());
    for (std::size_t copy = 0; copy < kFatCount; ++copy) {
        std::span<std::byte> fat = image.subspan(kFatOffset + copy * kFatBytes, kFatBytes);
        SetFatEntry(fat, 0, 0xF00 | kMediaDescriptor);
        SetFatEntry(fat, 1, kEndOfChain);
    }
    DirEntry entry{};
    entry.attributes = kAttrVolumeLabel;
    StampFixedTimes(entry);
    StoreRecord(image, RootEntryOffset(0), entry);
    WriteVolumeLabel(image, label);
}

}  // namespace quarnex::fat12
