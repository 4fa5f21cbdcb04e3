#include "fat12/fat_table.hpp"

#include <algorithm>

#include "fat12/fat_codec.hpp"

namespace quarnex::fat12 {

unsigned FatEntry(const Layout& layout, std::span<const std::byte> image, unsigned cluster) {
    return GetFatEntry(image.subspan(layout.fatOffset, layout.fatBytes), cluster);
}

void SetFatEntries(const Layout& layout, std::span<std::byte> image, unsigned cluster,
                   unsigned value) {
    for (std::size_t copy = 0; copy < layout.fatCount; ++copy) {
        SetFatEntry(image.subspan(layout.FatCopyOffset(copy), layout.fatBytes), cluster, value);
    }
}

bool FatsAgree(const Layout& layout, std::span<const std::byte> image) {
    const auto first = image.subspan(layout.fatOffset, layout.fatBytes);
    for (std::size_t copy = 1; copy < layout.fatCount; ++copy) {
        const auto other = image.subspan(layout.FatCopyOffset(copy), layout.fatBytes);
        if (!std::ranges::equal(first, other)) {
            return false;
        }
    }
    return true;
}

std::optional<std::vector<unsigned>> ClusterChain(const Layout& layout,
                                                  std::span<const std::byte> image,
                                                  unsigned first) {
    std::vector<unsigned> clusters;
    if (first == 0) {
        return clusters;
    }
    for (unsigned cluster = first;;) {
        if (!layout.IsDataCluster(cluster) || clusters.size() >= layout.clusterCount) {
            return std::nullopt;
        }
        clusters.push_back(cluster);
        const unsigned next = FatEntry(layout, image, cluster);
        if (next >= kFirstChainEnd) {
            return clusters;
        }
        cluster = next;  // free, reserved and bad entries fail the check above
    }
}

std::vector<unsigned> FreeClusters(const Layout& layout, std::span<const std::byte> image,
                                   std::size_t wanted) {
    std::vector<unsigned> free;
    for (unsigned cluster = 2; cluster <= layout.lastCluster && free.size() < wanted; ++cluster) {
        if (FatEntry(layout, image, cluster) == kFreeCluster) {
            free.push_back(cluster);
        }
    }
    return free;
}

void LinkChain(const Layout& layout, std::span<std::byte> image,
               const std::vector<unsigned>& clusters) {
    for (std::size_t i = 0; i < clusters.size(); ++i) {
        SetFatEntries(layout, image, clusters[i],
                      i + 1 < clusters.size() ? clusters[i + 1] : kChainEnd);
    }
}

}  // namespace quarnex::fat12
