#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "fat12/boot_sector.hpp"
#include "fat12/dir_entry.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/fat_codec.hpp"
#include "fat12/geometry.hpp"

namespace quarnex::fat12 {

namespace {

bool IsShortNameChar(unsigned char c) {
    if (std::isalnum(c) != 0 || c >= 0x80) {
        return true;
    }
    return std::string_view("!#$%&'()-@^_`{}~").find(static_cast<char>(c)) !=
           std::string_view::npos;
}

// Only volumes with exactly the 1.44 MB geometry are handled.
bool GeometryFits(std::span<const std::byte> image) {
    if (image.size() < kVolumeBytes) {
        return false;
    }
    const auto boot = LoadRecord<BootSector>(image, 0);
    return boot.bytesPerSector.Get() == kBytesPerSector &&
           std::to_integer<unsigned>(boot.sectorsPerCluster) == kSectorsPerCluster &&
           boot.reservedSectors.Get() == kReservedSectors &&
           std::to_integer<unsigned>(boot.fatCount) == kFatCount &&
           boot.rootEntries.Get() == kRootEntries && boot.totalSectors.Get() == kTotalSectors &&
           boot.sectorsPerFat.Get() == kSectorsPerFat;
}

std::span<const std::byte> Fat(std::span<const std::byte> image, std::size_t copy) {
    return image.subspan(kFatOffset + copy * kFatBytes, kFatBytes);
}

std::span<std::byte> Fat(std::span<std::byte> image, std::size_t copy) {
    return image.subspan(kFatOffset + copy * kFatBytes, kFatBytes);
}

std::size_t ClusterOffset(unsigned cluster) {
    return kDataOffset + (cluster - kFirstCluster) * kClusterBytes;
}

struct Lookup {
    std::optional<std::size_t> found;      // entry index of the file
    std::optional<std::size_t> freeEntry;  // first unused entry
    bool folder = false;                   // a folder has the name
};

Lookup FindEntry(std::span<const std::byte> image, const std::string& shortName) {
    Lookup lookup;
    for (std::size_t i = 0; i < kRootEntries; ++i) {
        const auto entry = LoadRecord<DirEntry>(image, RootEntryOffset(i));
        const std::byte first = entry.name[0];
        if (first == kEndOfDirectory || first == kDeletedMark) {
            if (!lookup.freeEntry) {
                lookup.freeEntry = i;
            }
            if (first == kEndOfDirectory) {
                break;  // nothing is used after the end mark
            }
            continue;
        }
        const std::byte attr = entry.attributes;
        if (attr == kAttrLongName || (attr & kAttrVolumeLabel) != std::byte{0}) {
            continue;
        }
        bool same = true;
        for (std::size_t c = 0; c < entry.name.size() && same; ++c) {
            const int stored = std::toupper(std::to_integer<unsigned char>(entry.name[c]));
            same = stored == static_cast<unsigned char>(shortName[c]);
        }
        if (same && (attr & kAttrDirectory) != std::byte{0}) {
            lookup.folder = true;
        } else if (same && !lookup.found) {
            lookup.found = i;
        }
    }
    return lookup;
}

// The clusters of a chain starting at first, or nothing when the chain runs
// outside the volume, through free or reserved entries, or in a loop.
std::optional<std::vector<unsigned>> Chain(std::span<const std::byte> fat, unsigned first) {
    std::vector<unsigned> clusters;
    if (first == 0) {
        return clusters;
    }
    unsigned cluster = first;
    while (true) {
        if (cluster < kFirstCluster || cluster > kLastCluster || clusters.size() >= kClusterCount) {
            return std::nullopt;
        }
        clusters.push_back(cluster);
        const unsigned next = GetFatEntry(fat, cluster);
        if (next >= kFirstEndOfChain) {
            return clusters;
        }
        cluster = next;
    }
}

struct FileChain {
    Status status = Status::Ok;
    std::vector<unsigned> clusters;
    std::uint32_t size = 0;
};

FileChain ChainOf(std::span<const std::byte> image, std::size_t entry) {
    const auto record = LoadRecord<DirEntry>(image, RootEntryOffset(entry));
    FileChain result;
    result.size = record.fileSize.Get();
    auto chain = Chain(Fat(image, 0), record.firstCluster.Get());
    const std::size_t needed = (result.size + kClusterBytes - 1) / kClusterBytes;
    if (!chain || chain->size() < needed) {
        result.status = Status::Damaged;
        return result;
    }
    result.clusters = std::move(*chain);
    return result;
}

}  // namespace

const char* StatusText(Status status) {
    switch (status) {
        case Status::Ok:
            return "Done.";
        case Status::NotFound:
            return "The file was not found on the volume.";
        case Status::BadName:
            return "The file name does not fit a FAT12 volume.";
        case Status::Full:
            return "The FAT12 volume is full.";
        case Status::Damaged:
            return "The FAT12 volume is damaged.";
        case Status::Folder:
            return "A folder has that name.";
    }
    return "";
}

std::string ShortName(std::string_view name) {
    const std::size_t dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view ext = dot == std::string_view::npos ? "" : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3) {
        return {};
    }
    std::string result(sizeof(DirEntry::name), ' ');
    for (std::size_t i = 0; i < base.size() + ext.size(); ++i) {
        const auto c = static_cast<unsigned char>(i < base.size() ? base[i] : ext[i - base.size()]);
        if (!IsShortNameChar(c)) {
            return {};
        }
        result[i < base.size() ? i : 8 + i - base.size()] = static_cast<char>(std::toupper(c));
    }
    return result;
}

namespace {

// Why a request on this volume and name is refused, or Ok.
Status Refusal(std::span<const std::byte> image, const std::string& shortName) {
    if (shortName.empty()) {
        return Status::BadName;
    }
    return GeometryFits(image) ? Status::Ok : Status::Damaged;
}

}  // namespace

FileRead ReadRootFile(std::span<const std::byte> image, std::string_view name) {
    const std::string shortName = ShortName(name);
    if (const Status refused = Refusal(image, shortName); refused != Status::Ok) {
        return {refused, {}};
    }
    const Lookup lookup = FindEntry(image, shortName);
    if (lookup.folder) {
        return {Status::Folder, {}};
    }
    if (!lookup.found) {
        return {Status::NotFound, {}};
    }
    const FileChain chain = ChainOf(image, *lookup.found);
    if (chain.status != Status::Ok) {
        return {chain.status, {}};
    }
    FileRead read;
    read.contents.reserve(chain.size);
    for (unsigned cluster : chain.clusters) {
        const std::size_t take =
            std::min<std::size_t>(kClusterBytes, chain.size - read.contents.size());
        const auto* data = reinterpret_cast<const char*>(image.data() + ClusterOffset(cluster));
        read.contents.append(data, take);
        if (read.contents.size() == chain.size) {
            break;
        }
    }
    return read;
}

ReplaceStages StageRootFileReplace(std::span<const std::byte> image, std::string_view name,
                                   std::string_view contents) {
    const std::string shortName = ShortName(name);
    if (const Status refused = Refusal(image, shortName); refused != Status::Ok) {
        return {refused, {}};
    }
    // Everything is checked before the first stage is made.
    const Lookup lookup = FindEntry(image, shortName);
    std::vector<unsigned> oldChain;
    if (lookup.folder) {
        return {Status::Folder, {}};
    }
    if (lookup.found) {
        FileChain chain = ChainOf(image, *lookup.found);
        if (chain.status != Status::Ok) {
            return {chain.status, {}};
        }
        oldChain = std::move(chain.clusters);
    } else if (!lookup.freeEntry) {
        return {Status::Full, {}};
    }
    const std::size_t needed = (contents.size() + kClusterBytes - 1) / kClusterBytes;
    // Free clusters first, so that the old contents survive until the
    // directory changes; the old chain only when needed.
    std::vector<unsigned> fresh;
    for (unsigned cluster = kFirstCluster; cluster <= kLastCluster && fresh.size() < needed;
         ++cluster) {
        if (GetFatEntry(Fat(image, 0), cluster) == 0) {
            fresh.push_back(cluster);
        }
    }
    for (std::size_t i = 0; i < oldChain.size() && fresh.size() < needed; ++i) {
        fresh.push_back(oldChain[i]);
    }
    if (fresh.size() < needed || contents.size() > UINT32_MAX) {
        return {Status::Full, {}};
    }

    ReplaceStages stages;
    std::vector<std::byte> volume(image.begin(), image.begin() + kVolumeBytes);
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        std::span<std::byte> data =
            std::span(volume).subspan(ClusterOffset(fresh[i]), kClusterBytes);
        const std::size_t begin = i * kClusterBytes;
        const std::size_t take = std::min(kClusterBytes, contents.size() - begin);
        std::fill(data.begin(), data.end(), std::byte{0});
        std::memcpy(data.data(), contents.data() + begin, take);
    }
    stages.images.push_back(volume);

    for (std::size_t copy = 0; copy < kFatCount; ++copy) {
        for (std::size_t i = 0; i < fresh.size(); ++i) {
            SetFatEntry(Fat(std::span(volume), copy), fresh[i],
                        i + 1 < fresh.size() ? fresh[i + 1] : kEndOfChain);
        }
    }
    stages.images.push_back(volume);

    const std::size_t index = lookup.found ? *lookup.found : *lookup.freeEntry;
    auto entry = LoadRecord<DirEntry>(volume, RootEntryOffset(index));
    if (!lookup.found) {
        entry = DirEntry{};
        std::memcpy(entry.name.data(), shortName.data(), entry.name.size());
        StampFixedTimes(entry);
    }
    entry.attributes = kAttrArchive;
    entry.firstCluster.Set(static_cast<std::uint16_t>(fresh.empty() ? 0 : fresh.front()));
    entry.fileSize.Set(static_cast<std::uint32_t>(contents.size()));
    StoreRecord(volume, RootEntryOffset(index), entry);
    stages.images.push_back(volume);

    for (std::size_t copy = 0; copy < kFatCount; ++copy) {
        for (unsigned cluster : oldChain) {
            if (std::find(fresh.begin(), fresh.end(), cluster) == fresh.end()) {
                SetFatEntry(Fat(std::span(volume), copy), cluster, 0);
            }
        }
    }
    stages.images.push_back(std::move(volume));
    return stages;
}

Status ReplaceRootFile(std::span<std::byte> image, std::string_view name,
                       std::string_view contents) {
    ReplaceStages stages = StageRootFileReplace(image, name, contents);
    if (stages.status == Status::Ok) {
        std::copy(stages.images.back().begin(), stages.images.back().end(), image.begin());
    }
    return stages.status;
}

}  // namespace quarnex::fat12
