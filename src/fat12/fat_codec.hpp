#pragma once
// The 12-bit file allocation table: two entries packed into three bytes.

#include <cstddef>
#include <span>

namespace quarnex::fat12 {

// The entry of cluster in one FAT copy.
unsigned GetFatEntry(std::span<const std::byte> fat, unsigned cluster);
void SetFatEntry(std::span<std::byte> fat, unsigned cluster, unsigned value);

}  // namespace quarnex::fat12
