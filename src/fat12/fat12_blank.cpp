#include <algorithm>

#include "fat12/boot_sector.hpp"
#include "fat12/dir_entry.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/fat_codec.hpp"
#include "fat12/fat_table.hpp"
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
    boot.bytesPerSector.Set(kSectorBytes);
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
    // Boot code, reached by the jump at offset 0 (0x7C3E once loaded at
    // 0:7C00): print the message through BIOS teletype output, wait for a
    // key, then ask the BIOS to boot again.
    const unsigned char code[] = {
        0xFA,              // cli
        0x31, 0xC0,        // xor ax, ax
        0x8E, 0xD8,        // mov ds, ax
        0x8E, 0xD0,        // mov ss, ax
        0xBC, 0x00, 0x7C,  // mov sp, 0x7C00
        0xFB,              // sti
        0xBE, 0x60, 0x7C,  // mov si, message (0x7C60)
        0xAC,              // next: lodsb
        0x84, 0xC0,        // test al, al
        0x74, 0x09,        // jz wait
        0xB4, 0x0E,        // mov ah, 0x0E (teletype output)
        0xBB, 0x07, 0x00,  // mov bx, 0x0007 (page 0, grey)
        0xCD, 0x10,        // int 0x10
        0xEB, 0xF2,        // jmp next
        0x31, 0xC0,        // wait: xor ax, ax (read key)
        0xCD, 0x16,        // int 0x16
        0xCD, 0x19,        // int 0x19 (boot again)
    };
    const std::string_view message = "This is not a system disk.\r\nPress any key to restart.\r\n";
    static_assert(62 + sizeof code == 0x60);
    for (std::size_t i = 0; i < sizeof code; ++i) {
        boot.bootCode[i] = static_cast<std::byte>(code[i]);
    }
    for (std::size_t i = 0; i < message.size(); ++i) {
        boot.bootCode[sizeof code + i] = static_cast<std::byte>(message[i]);
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
        SetFatEntry(fat, 1, kChainEnd);
    }
    DirEntry entry{};
    entry.attributes = kAttrVolumeLabel;
    StampFixedTimes(entry);
    StoreRecord(image, RootEntryOffset(0), entry);
    WriteVolumeLabel(image, label);
}

}  // namespace quarnex::fat12
