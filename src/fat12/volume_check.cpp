#include "fat12/volume_check.hpp"

#include "fat12/boot_sector.hpp"
#include "fat12/fat_table.hpp"
#include "fat12/long_names.hpp"

namespace quarnex::fat12 {

namespace {

// Deeper trees than this are taken as damage (a directory that contains
// itself under another cluster).
constexpr std::size_t kMaxDepth = 64;

std::string Where(const std::string& path) {
    return path.empty() ? "the root" : "\"" + path + "\"";
}

class TreeWalk {
  public:
    TreeWalk(const Layout& layout, std::span<const std::byte> image)
        : layout_(layout), image_(image), owner_(layout.lastCluster + 1, false) {}

    std::string Walk(unsigned first, const std::string& path, std::size_t depth) {
        if (depth > kMaxDepth) {
            return "its folders nest deeper than " + std::to_string(kMaxDepth);
        }
        const auto slots = ReadDirectorySlots(layout_, image_, first);
        if (!slots) {
            return "the cluster chain of " + Where(path) + " is broken";
        }
        if (std::string claim = Claim(slots->clusters, path); !claim.empty()) {
            return claim;
        }
        for (const FoundEntry& item : ReadEntries(image_, *slots)) {
            if (IsDotEntry(item)) {
                continue;
            }
            const std::string inner = path.empty() ? item.name : path + "/" + item.name;
            const unsigned start = item.entry.firstCluster.Get();
            if (IsDirectory(item.entry)) {
                std::string problem = start == 0 ? "the folder " + Where(inner) + " has no cluster"
                                                 : Walk(start, inner, depth + 1);
                if (!problem.empty()) {
                    return problem;
                }
                continue;
            }
            const auto chain = ClusterChain(layout_, image_, start);
            const std::size_t size = item.entry.fileSize.Get();
            const std::size_t needed = (size + layout_.clusterBytes - 1) / layout_.clusterBytes;
            if (!chain || chain->size() != needed) {
                return "the cluster chain of " + Where(inner) + " does not match its size";
            }
            if (std::string claim = Claim(*chain, inner); !claim.empty()) {
                return claim;
            }
        }
        return {};
    }

  private:
    std::string Claim(const std::vector<unsigned>& chain, const std::string& path) {
        for (const unsigned cluster : chain) {
            if (owner_[cluster]) {
                return "cluster " + std::to_string(cluster) + " of " + Where(path) +
                       " also belongs to another file";
            }
            owner_[cluster] = true;
        }
        return {};
    }

    const Layout& layout_;
    std::span<const std::byte> image_;
    std::vector<bool> owner_;
};

}  // namespace

VolumeCheck CheckForReading(std::span<const std::byte> image) {
    LayoutCheck layout = ReadLayout(image);
    if (!layout.layout) {
        return {layout.unhandled ? Status::Unhandled : Status::Damaged, layout.problem, {}};
    }
    return {Status::Ok, {}, *layout.layout};
}

VolumeCheck CheckForWriting(std::span<const std::byte> image) {
    VolumeCheck check = CheckForReading(image);
    if (check.status != Status::Ok) {
        return check;
    }
    // Other systems take a boot sector without the signature for no volume at
    // all, and a FAT whose first byte names another medium for a stray one:
    // either may be read, never written.
    if (LoadRecord<BootSector>(image, 0).signature != kBootSignature) {
        return {Status::Damaged, "its boot sector lacks the signature 55 AA", check.layout};
    }
    if (!FatsAgree(check.layout, image)) {
        return {Status::FatsDiffer, "a check tool can tell which copy is right", check.layout};
    }
    if (const unsigned media = FatEntry(check.layout, image, 0) & 0xFF;
        media != check.layout.mediaDescriptor) {
        return {Status::Damaged,
                "its FAT's media byte (" + std::to_string(media) + ") is not its boot sector's (" +
                    std::to_string(check.layout.mediaDescriptor) + ")",
                check.layout};
    }
    TreeWalk walk(check.layout, image);
    if (std::string problem = walk.Walk(0, "", 0); !problem.empty()) {
        return {Status::Damaged, problem, check.layout};
    }
    return check;
}

std::vector<std::string> SplitPath(std::string_view path) {
    std::vector<std::string> parts;
    for (std::size_t at = 0; at <= path.size();) {
        const std::size_t end = std::min(path.find('/', at), path.size());
        if (end > at) {
            parts.emplace_back(path.substr(at, end - at));
        }
        at = end + 1;
    }
    return parts;
}

bool IsValidName(std::string_view name) {
    const auto units = Utf16FromUtf8(name);
    if (!units || units->empty() || units->size() > kLongNameUnits || name == "." || name == ".." ||
        name.back() == ' ' || name.back() == '.') {
        return false;
    }
    for (const char16_t unit : *units) {
        if (unit < 0x20 ||
            std::u16string_view(u"\"*/:<>?\\|\x7F").find(unit) != std::u16string_view::npos) {
            return false;
        }
    }
    return true;
}

bool IsDotName(std::string_view part) {
    return part == "." || part == "..";
}

FolderLookup FindFolder(const Layout& layout, std::span<const std::byte> image,
                        const std::vector<std::string>& parts) {
    FolderLookup lookup;
    std::string path;
    for (std::size_t depth = 0;; ++depth) {
        auto slots = ReadDirectorySlots(layout, image, lookup.slots.firstCluster);
        if (!slots || depth > kMaxDepth) {
            return {Status::Damaged, {}, "the cluster chain of " + Where(path) + " is broken"};
        }
        lookup.slots = std::move(*slots);
        if (depth == parts.size()) {
            return lookup;
        }
        if (IsDotName(parts[depth])) {
            return {Status::DotPart, {}, {}};
        }
        const auto item = FindEntry(image, lookup.slots, parts[depth]);
        path += (path.empty() ? "" : "/") + parts[depth];
        if (!item) {
            return {Status::NotFound, {}, {}};
        }
        if (!IsDirectory(item->entry)) {
            return {Status::NotAFolder, {}, {}};
        }
        lookup.slots.firstCluster = item->entry.firstCluster.Get();
    }
}

}  // namespace quarnex::fat12
