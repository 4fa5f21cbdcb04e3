#pragma once
// Whether a stretch of bytes is all zeros.

#include <cstddef>
#include <cstring>

namespace quarnex {

// At memory speed, since every byte a sparse file takes goes through it:
// a zero first byte, and each byte equal to the one before it.
inline bool AllZero(const std::byte* data, std::size_t count) {
    return count == 0 || (data[0] == std::byte{0} && std::memcmp(data, data + 1, count - 1) == 0);
}

}  // namespace quarnex
