#pragma once
// The file allocation tables of a volume: entries read from the first copy,
// written to every copy, chains walked with a bound.

#include <optional>
#include <span>
#include <vector>

#include "fat12/volume_layout.hpp"

namespace quarnex::fat12 {

inline constexpr unsigned kFreeCluster = 0;
inline constexpr unsigned kBadCluster = 0xFF7;
inline constexpr unsigned kChainEnd = 0xFFF;
inline constexpr unsigned kFirstChainEnd = 0xFF8;  // 0xFF8..0xFFF all end a chain

unsigned FatEntry(const Layout& layout, std::span<const std::byte> image, unsigned cluster);

// Sets the entry in every FAT copy, so that the copies never differ.
void SetFatEntries(const Layout& layout, std::span<std::byte> image, unsigned cluster,
                   unsigned value);

// True when all copies hold the same bytes.
bool FatsAgree(const Layout& layout, std::span<const std::byte> image);

// The clusters of the chain that starts at first (none for 0), or nothing
// when it leaves the data area, runs through a free or bad entry, or is
// longer than the volume has clusters, which a loop always is.
std::optional<std::vector<unsigned>> ClusterChain(const Layout& layout,
                                                  std::span<const std::byte> image, unsigned first);

// Up to wanted free clusters, lowest first.
std::vector<unsigned> FreeClusters(const Layout& layout, std::span<const std::byte> image,
                                   std::size_t wanted);

// Links clusters into one chain ending in kChainEnd, in every copy.
void LinkChain(const Layout& layout, std::span<std::byte> image,
               const std::vector<unsigned>& clusters);

}  // namespace quarnex::fat12
