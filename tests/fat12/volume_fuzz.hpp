#pragma once
// Random damage to FAT12 volumes, shared by the short run among the tests
// and the long run of bench/: reading a damaged volume ends without crash or
// hang, a write is refused on a volume that fails CheckForWriting, and an
// accepted write leaves a sound volume holding what was written.

#include <cstdint>
#include <string>
#include <vector>

namespace quarnex::fat12 {

struct FuzzTally {
    std::uint64_t cases = 0;
    std::uint64_t readable = 0;  // passed CheckForReading
    std::uint64_t sound = 0;     // passed CheckForWriting
    std::uint64_t written = 0;   // a write accepted and checked
    double slowestSeconds = 0;   // the longest case, a hang's first sign
    std::vector<std::string> faults;
};

// Cases first..first+count-1; each one is the same for the same number.
FuzzTally RunVolumeFuzz(std::uint64_t first, std::uint64_t count);

// Stores the low bytes of value at image[at], little-endian, within the image.
void PutLe(std::vector<std::byte>& image, std::size_t at, std::uint64_t value, std::size_t bytes);

}  // namespace quarnex::fat12
