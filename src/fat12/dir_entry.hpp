#pragma once
// A 32-byte directory entry, as stored.

#include <array>
#include <cstddef>
#include <cstdint>

#include "fat12/geometry.hpp"
#include "fat12/little_endian.hpp"

namespace quarnex::fat12 {

struct DirEntry {
    std::array<std::byte, 11> name;  // 8.3, space padded; a label's 11 characters
    std::byte attributes;
    std::byte reserved;
    std::byte createTenths;
    Le16 createTime;
    Le16 createDate;
    Le16 accessDate;
    Le16 firstClusterHigh;  // always 0 on FAT12
    Le16 writeTime;
    Le16 writeDate;
    Le16 firstCluster;
    Le32 fileSize;
};

inline constexpr std::byte kAttrReadOnly{0x01};
inline constexpr std::byte kAttrHidden{0x02};
inline constexpr std::byte kAttrSystem{0x04};
inline constexpr std::byte kAttrVolumeLabel{0x08};
inline constexpr std::byte kAttrDirectory{0x10};
inline constexpr std::byte kAttrArchive{0x20};
inline constexpr std::byte kAttrLongName{0x0F};
inline constexpr std::byte kEndOfDirectory{0x00};  // first name byte: no entry here or after
inline constexpr std::byte kDeletedMark{0xE5};     // first name byte: entry free for reuse
inline constexpr std::byte kStoredE5{0x05};        // first name byte: the name starts with 0xE5
// Bits of the reserved byte with which other systems mark an all lower-case
// base name or extension that needs no long name.
inline constexpr std::byte kLowerCaseBase{0x08};
inline constexpr std::byte kLowerCaseExtension{0x10};

static_assert(sizeof(DirEntry) == kDirEntryBytes && alignof(DirEntry) == 1);
static_assert(offsetof(DirEntry, name) == 0);
static_assert(offsetof(DirEntry, attributes) == 11);
static_assert(offsetof(DirEntry, createTenths) == 13);
static_assert(offsetof(DirEntry, createTime) == 14);
static_assert(offsetof(DirEntry, createDate) == 16);
static_assert(offsetof(DirEntry, accessDate) == 18);
static_assert(offsetof(DirEntry, firstClusterHigh) == 20);
static_assert(offsetof(DirEntry, writeTime) == 22);
static_assert(offsetof(DirEntry, writeDate) == 24);
static_assert(offsetof(DirEntry, firstCluster) == 26);
static_assert(offsetof(DirEntry, fileSize) == 28);

inline constexpr std::size_t RootEntryOffset(std::size_t index) {
    return kRootOffset + index * sizeof(DirEntry);
}

// The name of the root's first entry, the volume-label entry of every volume
// the program builds: the label's second place.
inline constexpr std::size_t kRootLabelOffset = RootEntryOffset(0) + offsetof(DirEntry, name);
static_assert(kRootLabelOffset == 9728);

// Entries the program makes carry one fixed stamp (2026-01-01 00:00), so that
// the same input always gives the same bytes.
inline constexpr std::uint16_t kFixedDate = ((2026 - 1980) << 9) | (1 << 5) | 1;
inline constexpr std::uint16_t kFixedTime = 0;

// A moment as directory entries store it: local date and time in two-second
// steps, and the hundredths of the creation time (0..199).
struct Stamp {
    std::uint16_t date = kFixedDate;
    std::uint16_t time = kFixedTime;
    std::uint8_t hundredths = 0;
};

// Years outside 1980..2107 are clamped, since no date field can hold them.
inline Stamp MakeStamp(int year, int month, int day, int hour, int minute, double second) {
    year = year < 1980 ? 1980 : (year > 2107 ? 2107 : year);
    const int whole = static_cast<int>(second);
    Stamp stamp;
    stamp.date = static_cast<std::uint16_t>(((year - 1980) << 9) | (month << 5) | day);
    stamp.time = static_cast<std::uint16_t>((hour << 11) | (minute << 5) | (whole / 2));
    stamp.hundredths =
        static_cast<std::uint8_t>((whole % 2) * 100 + static_cast<int>((second - whole) * 100));
    return stamp;
}

inline void StampCreated(DirEntry& entry, const Stamp& stamp) {
    entry.createTenths = std::byte{stamp.hundredths};
    entry.createTime.Set(stamp.time);
    entry.createDate.Set(stamp.date);
}

inline void StampModified(DirEntry& entry, const Stamp& stamp) {
    entry.writeTime.Set(stamp.time);
    entry.writeDate.Set(stamp.date);
    entry.accessDate.Set(stamp.date);
}

inline void StampFixedTimes(DirEntry& entry) {
    StampCreated(entry, Stamp{});
    StampModified(entry, Stamp{});
}

}  // namespace quarnex::fat12
