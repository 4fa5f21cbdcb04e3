#pragma once
// Putting a staged change of a FAT12 volume on the medium in its crash-safe
// order: the sectors each stage touches, written and flushed before the next
// stage begins.

#include <cstdint>
#include <span>

#include "fat12/fat12_volume.hpp"
#include "ports/device_backend.hpp"

namespace quarnex {

// volume holds what the medium holds from byte base on; it is brought along
// stage by stage. Returns 0 or the system error of the write or flush that
// failed (ENOSPC for a short write); the stages before it are on the medium.
int WriteStages(DeviceFile& device, std::uint64_t base, std::span<std::byte> volume,
                const fat12::ReplaceStages& stages);

}  // namespace quarnex
