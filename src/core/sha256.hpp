#pragma once
// SHA-256 of a piece of memory, as sha256sum prints it: the fingerprint of a
// slot's image. Plain code, so every system's build has it.

#include <cstddef>
#include <span>
#include <string>

namespace quarnex {

// 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::span<const std::byte> data);

}  // namespace quarnex
