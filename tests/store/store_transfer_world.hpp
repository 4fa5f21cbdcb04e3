#pragma once
// A selected USB store that is a sparse file of 1,572,864,000 bytes, with
// helpers to put recognisable bytes at chosen offsets and read them back.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "frame/layout.hpp"
#include "store/fat12/fat12_volume.hpp"
#include "support/test_world.hpp"

namespace quarnex::testing {

using Bytes = std::vector<unsigned char>;

// Bytes that depend on their absolute offset and a seed, so any misplaced
// transfer shows.
inline Bytes Pattern(std::uint64_t offset, std::size_t count, unsigned seed) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t at = offset + i;
        bytes[i] = static_cast<unsigned char>((at * 131 + (at >> 9) * 7 + seed) & 0xFF);
    }
    return bytes;
}

inline void PutBytes(const std::string& path, std::uint64_t offset, const Bytes& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    const bool ok =
        fd >= 0 && ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)) ==
                       static_cast<ssize_t>(bytes.size());
    if (fd >= 0) {
        ::close(fd);
    }
    if (!ok) {
        throw std::runtime_error("cannot write into " + path);
    }
}

inline void PutPattern(const std::string& path, std::uint64_t offset, std::size_t count,
                       unsigned seed) {
    PutBytes(path, offset, Pattern(offset, count, seed));
}

// A short mark naming the slot and the seed, at the end of the slot's image
// part and at the end of its gap (clear of slot 0's FAT12 structures).
inline constexpr std::size_t kMarkBytes = 16;
inline std::uint64_t ImageEndMark(int slot) {
    return SlotOffset(slot) + kImageBytes - kMarkBytes;
}
inline std::uint64_t GapEndMark(int slot) {
    return SlotOffset(slot) + kSlotStride - kMarkBytes;
}
inline void MarkSlots(const std::string& path, unsigned seed) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        PutPattern(path, ImageEndMark(slot), kMarkBytes, seed + static_cast<unsigned>(slot));
        PutPattern(path, GapEndMark(slot), kMarkBytes, seed + static_cast<unsigned>(slot));
    }
}
// True when both marks of the slot carry the seed.
inline bool SlotMarked(const std::string& path, int slot, unsigned seed) {
    const unsigned s = seed + static_cast<unsigned>(slot);
    return ReadFileBytes(path, ImageEndMark(slot), kMarkBytes) ==
               Pattern(ImageEndMark(slot), kMarkBytes, s) &&
           ReadFileBytes(path, GapEndMark(slot), kMarkBytes) ==
               Pattern(GapEndMark(slot), kMarkBytes, s);
}

// Compares two files slot by slot; the first differing slot, or -1.
inline int FirstDifferentSlot(const std::string& a, const std::string& b) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (ReadFileBytes(a, SlotOffset(slot), kSlotStride) !=
            ReadFileBytes(b, SlotOffset(slot), kSlotStride)) {
            return slot;
        }
    }
    return -1;
}

inline Bytes BytesOf(std::span<const std::byte> memory, std::size_t offset, std::size_t count) {
    const auto* begin = reinterpret_cast<const unsigned char*>(memory.data()) + offset;
    return Bytes(begin, begin + count);
}

struct TransferWorld : TestWorld {
    std::string store = dir / "usbstore.img";
    static constexpr const char* kLetter = "usbstore.img";

    TransferWorld() {
        MakeSparseFile(store, kStoreBytes);
        DeviceEntry& entry = state.devices.Row(1);
        entry.DeviceLetter = kLetter;
        entry.DevicePath = store;
        entry.DeviceDriveNumber = 7;
        state.devices.DeviceCount = 1;
        state.SelectedDevice = 1;
        drives.drives.push_back(FakeDrive{kLetter, store, DriveKind::Removable, 7});
    }

    // Slot 0 as an empty FAT12 volume, so the store can hold DISKS.TXT.
    void FormatSlotZero(const std::string& label = "STOREID") {
        std::vector<std::byte> volume(kImageBytes);
        fat12::BuildBlankVolume(volume, label);
        PutBytes(store, 0, BytesOf(volume, 0, volume.size()));
    }

    std::string DisksTxt() {
        const Bytes slot0 = ReadFileBytes(store, 0, kImageBytes);
        const auto* data = reinterpret_cast<const std::byte*>(slot0.data());
        return fat12::ReadRootFile({data, slot0.size()}, "DISKS.TXT").contents;
    }

    // Makes the fault happen, and the user cancel right after the nth
    // operation of cancelOp on the store (0 = no cancel).
    void Arm(const std::optional<Fault>& fault, FaultOp cancelOp, int cancelAfter,
             const std::string& cancelPath = "usbstore") {
        if (fault) {
            devices.Inject(*fault);
        }
        if (cancelAfter != 0) {
            devices.After(
                cancelOp, cancelAfter, [this](int) { state.CancelRequested = true; }, cancelPath);
        }
    }

    // Exactly one error report naming source, or none for nullptr.
    void ExpectReport(const char* source) {
        if (source == nullptr) {
            EXPECT_TRUE(ui.messages.empty());
            return;
        }
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_NE(ui.messages[0].text.find(source), std::string::npos) << ui.messages[0].text;
    }

    // Nothing left open, not busy, and no cancel left over.
    void ExpectSettled() {
        EXPECT_EQ(devices.OpenHandles(), 0) << "a handle was left open";
        EXPECT_FALSE(state.window.menus.busy);
        EXPECT_FALSE(state.CancelRequested);
    }

    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const MessageRequest& m : ui.messages) {
            texts.push_back(m.text);
        }
        return texts;
    }
};

}  // namespace quarnex::testing
