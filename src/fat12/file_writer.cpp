// Changes to files and folders as stages that keep the volume readable at
// every step (see StageFileWrite).
#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "fat12/entry_placement.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/fat_table.hpp"
#include "fat12/long_names.hpp"
#include "fat12/short_names.hpp"
#include "fat12/volume_check.hpp"
#include "fat12/volume_editor.hpp"

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

Target Resolve(const Layout& layout, std::span<const std::byte> image, std::string_view path) {
    std::vector<std::string> parts = SplitPath(path);
    if (parts.empty()) {
        return {Status::BadName, {}, {}, {}, {}, {}};
    }
    if (IsDotName(parts.back())) {
        return {Status::DotPart, {}, {}, {}, {}, {}};
    }
    Target target;
    target.layout = layout;
    target.leaf = parts.back();
    parts.pop_back();
    FolderLookup folder = FindFolder(layout, image, parts);
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

// Records a change stage by stage and applies it to the editor's copy as it
// goes, so that later reads of the copy see it.
class Stager {
  public:
    Stager(std::span<std::byte> volume, const Layout& layout) : layout_(layout), volume_(volume) {
        stages_.fatBegin = layout.fatOffset;
        stages_.fatEnd = layout.FatCopyOffset(layout.fatCount);
        stages_.fatBytes = layout.fatBytes;
        stages_.stages.emplace_back();
    }

    void Next() { stages_.stages.emplace_back(); }
    ReplaceStages Done() { return std::move(stages_); }

    void Put(std::size_t offset, std::span<const std::byte> bytes) {
        std::ranges::copy(bytes, volume_.begin() + static_cast<std::ptrdiff_t>(offset));
        stages_.stages.back().bytes.push_back({offset, {bytes.begin(), bytes.end()}});
    }

    template <typename Record>
    void PutRecord(std::size_t offset, const Record& record) {
        Put(offset, std::as_bytes(std::span(&record, 1)));
    }

    void SetFat(unsigned cluster, unsigned value) {
        SetFatEntries(layout_, volume_, cluster, value);
        stages_.stages.back().fat.push_back({cluster, value});
    }

    void Link(const std::vector<unsigned>& chain) {
        for (std::size_t i = 0; i < chain.size(); ++i) {
            SetFat(chain[i], i + 1 < chain.size() ? chain[i + 1] : kChainEnd);
        }
    }

    void FillCluster(unsigned cluster, std::string_view data) {
        std::vector<std::byte> bytes(layout_.clusterBytes);
        // An empty view may carry a null pointer, which memcpy must not see.
        const std::size_t count = std::min(data.size(), bytes.size());
        if (count > 0) {
            std::memcpy(bytes.data(), data.data(), count);
        }
        Put(layout_.ClusterOffset(cluster), bytes);
    }

    void FillChain(const std::vector<unsigned>& chain, std::string_view data) {
        for (std::size_t i = 0; i < chain.size(); ++i) {
            const std::size_t begin = std::min(data.size(), i * layout_.clusterBytes);
            FillCluster(chain[i], data.substr(begin));
        }
    }

  private:
    const Layout& layout_;
    std::span<std::byte> volume_;
    ReplaceStages stages_;
};

// Free clusters, lowest first, that no earlier change of the batch freed:
// those stay as they were until the batch's last step is on the medium.
std::vector<unsigned> Unclaimed(const Layout& layout, std::span<const std::byte> image,
                                const std::vector<bool>& freedInBatch, std::size_t wanted) {
    std::vector<unsigned> free;
    for (unsigned cluster = 2; cluster <= layout.lastCluster && free.size() < wanted; ++cluster) {
        if (!freedInBatch[cluster] && FatEntry(layout, image, cluster) == kFreeCluster) {
            free.push_back(cluster);
        }
    }
    return free;
}

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

// The editor's copy and what its batch has freed.
struct Work {
    std::span<std::byte> image;
    std::vector<bool>& freedInBatch;
};

// A new file (contents) or folder (no contents) at target.
ReplaceStages StageNew(const Target& target, Work work, std::optional<std::string_view> contents,
                       const Stamp& now, const Stamp& modified) {
    const std::span<const std::byte> image = work.image;
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
    const auto placement =
        Place(target.folder, target.layout.clusterBytes, image, longEntries.size() + 1);
    const Layout& layout = target.layout;
    const std::size_t size = contents ? contents->size() : 0;
    const std::size_t dataClusters =
        contents ? (size + layout.clusterBytes - 1) / layout.clusterBytes : 1;
    const std::size_t wanted = dataClusters + (placement ? placement->newClusters : 0);
    const std::vector<unsigned> free = Unclaimed(layout, image, work.freedInBatch, wanted);
    if (!placement) {
        return Refused(Status::RootFull);  // only the root cannot grow
    }
    if (free.size() < wanted || size > UINT32_MAX) {
        return Refused(Status::Full);
    }
    const std::vector<unsigned> data(free.begin(),
                                     free.begin() + static_cast<std::ptrdiff_t>(dataClusters));
    const std::vector<unsigned> grown(free.begin() + static_cast<std::ptrdiff_t>(dataClusters),
                                      free.end());
    std::vector<std::size_t> offsets = placement->offsets;
    for (const unsigned cluster : grown) {
        for (std::size_t at = 0; at < layout.clusterBytes; at += sizeof(DirEntry)) {
            offsets.push_back(layout.ClusterOffset(cluster) + at);
        }
    }

    Stager stager(work.image, layout);
    for (const std::size_t offset : placement->endMarks) {
        stager.Put(offset, std::span(&kEndOfDirectory, 1));
    }
    for (const unsigned cluster : grown) {
        stager.FillCluster(cluster, {});
    }
    if (contents) {
        stager.FillChain(data, *contents);
    } else {
        std::array<DirEntry, 2> dots{DotEntry(".", data.front(), now),
                                     DotEntry("..", target.folder.firstCluster, now)};
        std::vector<std::byte> cluster(layout.clusterBytes);
        std::memcpy(cluster.data(), dots.data(), sizeof(dots));
        stager.Put(layout.ClusterOffset(data.front()), cluster);
    }
    stager.Next();
    stager.Link(data);
    if (!grown.empty()) {
        stager.SetFat(target.folder.clusters.back(), grown.front());
        stager.Link(grown);
    }
    // The long-name entries go with the entry in step 4: alone on the medium
    // they would be orphans that fsck removes. Step 3 only turns stale slots
    // into deleted ones, behind the end marks step 1 put down.
    stager.Next();
    for (const std::size_t offset : placement->deleted) {
        stager.Put(offset, std::span(&kDeletedMark, 1));
    }
    stager.Next();
    for (std::size_t i = 0; i < longEntries.size(); ++i) {
        stager.PutRecord(offsets[i], longEntries[i]);
    }
    DirEntry entry{};
    std::memcpy(entry.name.data(), choice->name.data(), entry.name.size());
    entry.reserved = choice->caseBits;
    entry.attributes = contents ? kAttrArchive : kAttrDirectory;
    entry.firstCluster.Set(static_cast<std::uint16_t>(data.empty() ? 0 : data.front()));
    entry.fileSize.Set(static_cast<std::uint32_t>(size));
    StampCreated(entry, now);
    StampModified(entry, modified);
    stager.PutRecord(offsets[longEntries.size()], entry);
    stager.Next();  // no old chain to free
    return stager.Done();
}

ReplaceStages StageReplace(const Target& target, Work work, std::string_view contents,
                           const Stamp& modified) {
    const Layout& layout = target.layout;
    DirEntry entry = target.existing->entry;
    const std::vector<unsigned> old = ClusterChain(layout, work.image, entry.firstCluster.Get())
                                          .value_or(std::vector<unsigned>{});
    const std::size_t needed = (contents.size() + layout.clusterBytes - 1) / layout.clusterBytes;
    // Only free clusters: the old contents must survive until the directory
    // entry changes, so a new copy that does not fit beside the old one is
    // refused rather than written over it.
    const std::vector<unsigned> fresh = Unclaimed(layout, work.image, work.freedInBatch, needed);
    if (contents.size() > UINT32_MAX) {
        return Refused(Status::Full);
    }
    if (fresh.size() < needed) {
        const std::size_t freeBytes =
            FreeClusters(layout, work.image, layout.clusterCount).size() * layout.clusterBytes;
        return Refused(Status::NoRoomBeside, "\"" + target.existing->name + "\" takes " +
                                                 std::to_string(contents.size()) + " bytes and " +
                                                 std::to_string(freeBytes) +
                                                 " are free; remove files to make room");
    }
    Stager stager(work.image, layout);
    stager.FillChain(fresh, contents);
    stager.Next();
    stager.Link(fresh);
    stager.Next();
    stager.Next();  // the names stay
    entry.attributes |= kAttrArchive;
    entry.firstCluster.Set(static_cast<std::uint16_t>(fresh.empty() ? 0 : fresh.front()));
    entry.fileSize.Set(static_cast<std::uint32_t>(contents.size()));
    StampModified(entry, modified);
    stager.PutRecord(target.folder.offsets[target.existing->slot], entry);
    stager.Next();
    for (const unsigned cluster : old) {
        stager.SetFat(cluster, kFreeCluster);
        work.freedInBatch[cluster] = true;
    }
    ReplaceStages stages = stager.Done();
    stages.replaces = true;
    return stages;
}

}  // namespace

VolumeEditor::VolumeEditor(std::vector<std::byte> image) : image_(std::move(image)) {
    const VolumeCheck check = CheckForWriting(image_);
    status_ = check.status;
    detail_ = check.detail;
    layout_ = check.layout;
    freedInBatch_.assign(layout_.lastCluster + 1, false);
}

void VolumeEditor::NewBatch() {
    freedInBatch_.assign(layout_.lastCluster + 1, false);
}

ReplaceStages VolumeEditor::WriteFile(std::string_view path, std::string_view contents,
                                      const Stamp& now, const std::optional<Stamp>& modified) {
    if (status_ != Status::Ok) {
        return Refused(status_, detail_);
    }
    const Target target = Resolve(layout_, image_, path);
    if (target.status != Status::Ok) {
        return Refused(target.status, target.detail);
    }
    if (!target.existing) {
        return StageNew(target, {image_, freedInBatch_}, contents, now, modified.value_or(now));
    }
    if (IsDirectory(target.existing->entry)) {
        return Refused(Status::IsAFolder);
    }
    return StageReplace(target, {image_, freedInBatch_}, contents, modified.value_or(now));
}

ReplaceStages VolumeEditor::MakeFolder(std::string_view path, const Stamp& now) {
    if (status_ != Status::Ok) {
        return Refused(status_, detail_);
    }
    const Target target = Resolve(layout_, image_, path);
    if (target.status != Status::Ok) {
        return Refused(target.status, target.detail);
    }
    if (target.existing) {
        return Refused(Status::Exists);
    }
    return StageNew(target, {image_, freedInBatch_}, std::nullopt, now, now);
}

ReplaceStages VolumeEditor::Remove(std::string_view path) {
    if (status_ != Status::Ok) {
        return Refused(status_, detail_);
    }
    const Target target = Resolve(layout_, image_, path);
    if (target.status != Status::Ok && target.status != Status::BadName) {
        return Refused(target.status, target.detail);
    }
    if (!target.existing) {
        return Refused(Status::NotFound);
    }
    const DirEntry& entry = target.existing->entry;
    const std::vector<unsigned> chain =
        ClusterChain(layout_, image_, entry.firstCluster.Get()).value_or(std::vector<unsigned>{});
    if (IsDirectory(entry)) {
        // Counted by name, not by number: a folder that lost its dot entries
        // may still hold files whose clusters would otherwise be orphaned.
        const auto inside = ReadDirectorySlots(layout_, image_, entry.firstCluster.Get());
        if (!inside) {
            return Refused(Status::Damaged);
        }
        const auto items = ReadEntries(image_, *inside);
        if (!std::all_of(items.begin(), items.end(), IsDotEntry)) {
            return Refused(Status::NotEmpty);
        }
    }
    Stager stager(image_, layout_);
    for (std::size_t i = target.existing->firstSlot; i <= target.existing->slot; ++i) {
        stager.Put(target.folder.offsets[i], std::span(&kDeletedMark, 1));
    }
    stager.Next();
    for (const unsigned cluster : chain) {
        stager.SetFat(cluster, kFreeCluster);
        freedInBatch_[cluster] = true;
    }
    return stager.Done();
}

}  // namespace quarnex::fat12
