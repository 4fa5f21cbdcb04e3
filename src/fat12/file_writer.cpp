// Changes to files and folders as stages that keep the volume readable at
// every step (see StageFileWrite).
#include <algorithm>
#include <cstring>
#include <optional>

#include "fat12/fat12_volume.hpp"
#include "fat12/fat_table.hpp"
#include "fat12/long_names.hpp"
#include "fat12/short_names.hpp"
#include "fat12/volume_check.hpp"

namespace quarnex::fat12 {

namespace {

// What a change is about: the checked volume, the folder and the entry.
struct Target {
    Status status = Status::Ok;
    std::string detail;
    Layout layout;
    DirectorySlots folder;
    std::optional<FoundEntry> existing;
    std::string leaf;
};

Target Resolve(std::span<const std::byte> image, std::string_view path) {
    const VolumeCheck check = CheckForWriting(image);
    if (check.status != Status::Ok) {
        return {check.status, check.detail, {}, {}, {}, {}};
    }
    std::vector<std::string> parts = SplitPath(path);
    if (parts.empty()) {
        return {Status::BadName, {}, {}, {}, {}, {}};
    }
    Target target;
    target.layout = check.layout;
    target.leaf = parts.back();
    parts.pop_back();
    FolderLookup folder = FindFolder(check.layout, image, parts);
    if (folder.status != Status::Ok) {
        return {folder.status, folder.detail, {}, {}, {}, {}};
    }
    target.folder = std::move(folder.slots);
    target.existing = FindEntry(image, target.folder, target.leaf);
    if (!target.existing && !IsValidName(target.leaf)) {
        target.status = Status::BadName;
    }
    return target;
}

ReplaceStages Refused(Status status, std::string detail = {}) {
    ReplaceStages stages;
    stages.status = status;
    stages.detail = std::move(detail);
    return stages;
}

// Where the entries of a new name go: free slots of the folder, or slots in
// clusters added to its end.
struct Placement {
    std::vector<std::size_t> offsets;  // long-name entries first, the short entry last
    std::size_t newClusters = 0;       // clusters to append to the folder
    // The slot after new entries that reach past the end mark: it becomes the
    // end mark before they are written, so that no stale entry beyond the old
    // mark comes back (0: none).
    std::size_t endMark = 0;
};

std::optional<Placement> Place(const Target& target, std::span<const std::byte> image,
                               std::size_t count) {
    const std::vector<std::size_t>& slots = target.folder.offsets;
    std::size_t end = slots.size();
    for (std::size_t i = 0; i < slots.size() && end == slots.size(); ++i) {
        end = image[slots[i]] == kEndOfDirectory ? i : end;
    }
    Placement placement;
    if (const auto first = FreeSlots(image, target.folder, count)) {
        placement.offsets.assign(slots.begin() + static_cast<std::ptrdiff_t>(*first),
                                 slots.begin() + static_cast<std::ptrdiff_t>(*first + count));
        if (*first + count > end && *first + count < slots.size()) {
            placement.endMark = slots[*first + count];
        }
        return placement;
    }
    if (target.folder.firstCluster == 0) {
        return std::nullopt;  // the root cannot grow
    }
    // Free slots at the end, where the new entries can begin.
    std::size_t tail = 0;
    while (tail < slots.size() && tail < count) {
        const std::size_t index = slots.size() - 1 - tail;
        if (index < end && image[slots[index]] != kDeletedMark) {
            break;
        }
        ++tail;
    }
    const std::size_t perCluster = target.layout.clusterBytes / sizeof(DirEntry);
    placement.newClusters = (count - tail + perCluster - 1) / perCluster;
    placement.offsets.assign(slots.end() - static_cast<std::ptrdiff_t>(tail), slots.end());
    return placement;
}

class Stager {
  public:
    Stager(std::span<const std::byte> image, const Layout& layout)
        : layout_(layout), volume_(image.begin(), image.end()) {
        stages_.fatBegin = layout.fatOffset;
        stages_.fatEnd = layout.FatCopyOffset(layout.fatCount);
    }

    std::span<std::byte> Volume() { return volume_; }
    void Snapshot() { stages_.images.push_back(volume_); }
    ReplaceStages Done() { return std::move(stages_); }

    void FillCluster(unsigned cluster, std::string_view data) {
        std::byte* at = volume_.data() + layout_.ClusterOffset(cluster);
        std::memset(at, 0, layout_.clusterBytes);
        if (!data.empty()) {
            std::memcpy(at, data.data(), std::min(data.size(), layout_.clusterBytes));
        }
    }

    void FillChain(const std::vector<unsigned>& chain, std::string_view data) {
        for (std::size_t i = 0; i < chain.size(); ++i) {
            const std::size_t begin = std::min(data.size(), i * layout_.clusterBytes);
            FillCluster(chain[i], data.substr(begin));
        }
    }

  private:
    const Layout& layout_;
    std::vector<std::byte> volume_;
    ReplaceStages stages_;
};

DirEntry DotEntry(const char* name, unsigned cluster, const Stamp& now) {
    DirEntry entry{};
    std::memset(entry.name.data(), ' ', entry.name.size());
    std::memcpy(entry.name.data(), name, std::strlen(name));
    entry.attributes = kAttrDirectory;
    entry.firstCluster.Set(static_cast<std::uint16_t>(cluster));
    StampCreated(entry, now);
    StampModified(entry, now);
    return entry;
}

// A new file (contents) or folder (no contents) at target.
ReplaceStages StageNew(const Target& target, std::span<const std::byte> image,
                       std::optional<std::string_view> contents, const Stamp& now) {
    const auto taken = [&](const ShortNameBytes& name) {
        const auto entries = ReadEntries(image, target.folder);
        return std::ranges::any_of(entries,
                                   [&](const FoundEntry& e) { return e.entry.name == name; });
    };
    const auto choice = ChooseShortName(target.leaf, taken);
    const auto units = Utf16FromUtf8(target.leaf);
    if (!choice || !units) {
        return Refused(Status::BadName);
    }
    std::vector<RawEntry> longEntries;
    if (choice->needsLongName) {
        longEntries = LongNameEntries(*units, ShortNameChecksum(choice->name));
    }
    const auto placement = Place(target, image, longEntries.size() + 1);
    const Layout& layout = target.layout;
    const std::size_t size = contents ? contents->size() : 0;
    const std::size_t dataClusters =
        contents ? (size + layout.clusterBytes - 1) / layout.clusterBytes : 1;
    const std::size_t wanted = dataClusters + (placement ? placement->newClusters : 0);
    const std::vector<unsigned> free = FreeClusters(layout, image, wanted);
    if (!placement || free.size() < wanted || size > UINT32_MAX) {
        return Refused(Status::Full);
    }
    const std::vector<unsigned> data(free.begin(),
                                     free.begin() + static_cast<std::ptrdiff_t>(dataClusters));
    const std::vector<unsigned> grown(free.begin() + static_cast<std::ptrdiff_t>(dataClusters),
                                      free.end());

    Stager stager(image, layout);
    for (const unsigned cluster : grown) {
        stager.FillCluster(cluster, {});
    }
    if (contents) {
        stager.FillChain(data, *contents);
    } else {
        stager.FillCluster(data.front(), {});
        StoreRecord(stager.Volume(), layout.ClusterOffset(data.front()),
                    DotEntry(".", data.front(), now));
        StoreRecord(stager.Volume(), layout.ClusterOffset(data.front()) + sizeof(DirEntry),
                    DotEntry("..", target.folder.firstCluster, now));
    }
    if (placement->endMark != 0) {
        stager.Volume()[placement->endMark] = kEndOfDirectory;
    }
    stager.Snapshot();

    LinkChain(layout, stager.Volume(), data);
    if (!grown.empty()) {
        SetFatEntries(layout, stager.Volume(), target.folder.clusters.back(), grown.front());
        LinkChain(layout, stager.Volume(), grown);
    }
    stager.Snapshot();

    std::vector<std::size_t> offsets = placement->offsets;
    for (const unsigned cluster : grown) {
        for (std::size_t at = 0; at < layout.clusterBytes; at += sizeof(DirEntry)) {
            offsets.push_back(layout.ClusterOffset(cluster) + at);
        }
    }
    for (std::size_t i = 0; i < longEntries.size(); ++i) {
        StoreRecord(stager.Volume(), offsets[i], longEntries[i]);
    }
    stager.Snapshot();

    DirEntry entry{};
    std::memcpy(entry.name.data(), choice->name.data(), entry.name.size());
    entry.reserved = choice->caseBits;
    entry.attributes = contents ? kAttrArchive : kAttrDirectory;
    entry.firstCluster.Set(static_cast<std::uint16_t>(data.empty() ? 0 : data.front()));
    entry.fileSize.Set(static_cast<std::uint32_t>(size));
    StampCreated(entry, now);
    StampModified(entry, now);
    StoreRecord(stager.Volume(), offsets[longEntries.size()], entry);
    stager.Snapshot();
    stager.Snapshot();  // no old chain to free
    return stager.Done();
}

ReplaceStages StageReplace(const Target& target, std::span<const std::byte> image,
                           std::string_view contents, const Stamp& now) {
    const Layout& layout = target.layout;
    DirEntry entry = target.existing->entry;
    const std::vector<unsigned> old =
        ClusterChain(layout, image, entry.firstCluster.Get()).value_or(std::vector<unsigned>{});
    const std::size_t needed = (contents.size() + layout.clusterBytes - 1) / layout.clusterBytes;
    // Free clusters first, so that the old contents survive until the
    // directory changes; the old chain only when needed.
    std::vector<unsigned> fresh = FreeClusters(layout, image, needed);
    for (std::size_t i = 0; i < old.size() && fresh.size() < needed; ++i) {
        fresh.push_back(old[i]);
    }
    if (fresh.size() < needed || contents.size() > UINT32_MAX) {
        return Refused(Status::Full);
    }
    Stager stager(image, layout);
    stager.FillChain(fresh, contents);
    stager.Snapshot();
    LinkChain(layout, stager.Volume(), fresh);
    stager.Snapshot();
    stager.Snapshot();  // the names stay
    entry.attributes |= kAttrArchive;
    entry.firstCluster.Set(static_cast<std::uint16_t>(fresh.empty() ? 0 : fresh.front()));
    entry.fileSize.Set(static_cast<std::uint32_t>(contents.size()));
    StampModified(entry, now);
    StoreRecord(stager.Volume(), target.folder.offsets[target.existing->slot], entry);
    stager.Snapshot();
    for (const unsigned cluster : old) {
        if (std::ranges::find(fresh, cluster) == fresh.end()) {
            SetFatEntries(layout, stager.Volume(), cluster, kFreeCluster);
        }
    }
    stager.Snapshot();
    return stager.Done();
}

}  // namespace

ReplaceStages StageFileWrite(std::span<const std::byte> image, std::string_view path,
                             std::string_view contents, const Stamp& now) {
    const Target target = Resolve(image, path);
    if (target.status != Status::Ok) {
        return Refused(target.status, target.detail);
    }
    if (!target.existing) {
        return StageNew(target, image, contents, now);
    }
    if (IsDirectory(target.existing->entry)) {
        return Refused(Status::IsAFolder);
    }
    return StageReplace(target, image, contents, now);
}

ReplaceStages StageMakeFolder(std::span<const std::byte> image, std::string_view path,
                              const Stamp& now) {
    const Target target = Resolve(image, path);
    if (target.status != Status::Ok) {
        return Refused(target.status, target.detail);
    }
    if (target.existing) {
        return Refused(Status::Exists);
    }
    return StageNew(target, image, std::nullopt, now);
}

ReplaceStages StageRemove(std::span<const std::byte> image, std::string_view path) {
    const Target target = Resolve(image, path);
    if (target.status != Status::Ok && target.status != Status::BadName) {
        return Refused(target.status, target.detail);
    }
    if (!target.existing) {
        return Refused(Status::NotFound);
    }
    const Layout& layout = target.layout;
    const DirEntry& entry = target.existing->entry;
    const std::vector<unsigned> chain =
        ClusterChain(layout, image, entry.firstCluster.Get()).value_or(std::vector<unsigned>{});
    if (IsDirectory(entry)) {
        const auto inside = ReadDirectorySlots(layout, image, entry.firstCluster.Get());
        if (inside && ReadEntries(image, *inside).size() > 2) {
            return Refused(Status::Exists);
        }
    }
    Stager stager(image, layout);
    for (std::size_t i = target.existing->firstSlot; i <= target.existing->slot; ++i) {
        stager.Volume()[target.folder.offsets[i]] = kDeletedMark;
    }
    stager.Snapshot();
    for (const unsigned cluster : chain) {
        SetFatEntries(layout, stager.Volume(), cluster, kFreeCluster);
    }
    stager.Snapshot();
    return stager.Done();
}

Status ApplyStages(std::span<std::byte> image, const ReplaceStages& stages) {
    if (stages.status == Status::Ok && !stages.images.empty()) {
        std::ranges::copy(stages.images.back(), image.begin());
    }
    return stages.status;
}

}  // namespace quarnex::fat12
