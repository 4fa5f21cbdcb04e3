#pragma once
// Numbers as FAT stores them: little-endian, at any byte offset. Records use
// these as fields, so they have no alignment and no padding.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>

namespace quarnex::fat12 {

template <std::size_t N>
requires(N == 2 || N == 4) struct LittleEndian {
    using Value = std::conditional_t<N == 2, std::uint16_t, std::uint32_t>;

    std::array<std::byte, N> bytes{};

    constexpr Value Get() const {
        Value value = 0;
        for (std::size_t i = N; i-- > 0;) {
            value = static_cast<Value>((value << 8) | std::to_integer<Value>(bytes[i]));
        }
        return value;
    }

    constexpr void Set(Value value) {
        for (std::size_t i = 0; i < N; ++i) {
            bytes[i] = static_cast<std::byte>((value >> (8 * i)) & 0xFF);
        }
    }
};

using Le16 = LittleEndian<2>;
using Le32 = LittleEndian<4>;
static_assert(sizeof(Le16) == 2 && alignof(Le16) == 1);
static_assert(sizeof(Le32) == 4 && alignof(Le32) == 1);

// Copies a record out of a volume and back. Records are plain bytes, so a
// copy is all the conversion there is; bytes must hold the whole record.
template <class Record>
Record LoadRecord(std::span<const std::byte> bytes, std::size_t offset) {
    static_assert(std::is_trivially_copyable_v<Record> && alignof(Record) == 1);
    Record record;
    std::memcpy(&record, bytes.subspan(offset, sizeof(Record)).data(), sizeof(Record));
    return record;
}

template <class Record>
void StoreRecord(std::span<std::byte> bytes, std::size_t offset, const Record& record) {
    static_assert(std::is_trivially_copyable_v<Record> && alignof(Record) == 1);
    std::memcpy(bytes.subspan(offset, sizeof(Record)).data(), &record, sizeof(Record));
}

}  // namespace quarnex::fat12
