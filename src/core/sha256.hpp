#pragma once
// SHA-256 of a piece of memory, as sha256sum prints it: the fingerprint of a
// slot's image. Each system's build takes it from the library the system
// ships for it (see src/platform).

#include <cstddef>
#include <span>
#include <string>

namespace quarnex {

// 64 lower-case hexadecimal digits; empty when the system could not hash.
std::string Sha256Hex(std::span<const std::byte> data);

}  // namespace quarnex
