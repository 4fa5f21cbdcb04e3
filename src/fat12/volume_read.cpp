// Reading files and listing folders.
#include <algorithm>
#include <optional>

#include "fat12/fat12_volume.hpp"
#include "fat12/fat_table.hpp"
#include "fat12/volume_check.hpp"

namespace quarnex::fat12 {

namespace {

Stamp Created(const DirEntry& entry) {
    return {entry.createDate.Get(), entry.createTime.Get(),
            std::to_integer<std::uint8_t>(entry.createTenths)};
}

Stamp Modified(const DirEntry& entry) {
    return {entry.writeDate.Get(), entry.writeTime.Get(), 0};
}

}  // namespace

FileRead ReadFile(std::span<const std::byte> image, std::string_view path) {
    const VolumeCheck check = CheckForReading(image);
    if (check.status != Status::Ok) {
        return {check.status, {}, check.detail};
    }
    std::vector<std::string> parts = SplitPath(path);
    if (parts.empty()) {
        return {Status::IsAFolder, {}, {}};
    }
    const std::string leaf = parts.back();
    if (IsDotName(leaf)) {
        return {Status::DotPart, {}, {}};
    }
    parts.pop_back();
    const FolderLookup folder = FindFolder(check.layout, image, parts);
    if (folder.status != Status::Ok) {
        return {folder.status, {}, folder.detail};
    }
    const auto item = FindEntry(image, folder.slots, leaf);
    if (!item) {
        return {Status::NotFound, {}, {}};
    }
    if (IsDirectory(item->entry)) {
        return {Status::IsAFolder, {}, {}};
    }
    const std::size_t size = item->entry.fileSize.Get();
    const auto chain = ClusterChain(check.layout, image, item->entry.firstCluster.Get());
    const std::size_t clusterBytes = check.layout.clusterBytes;
    if (!chain || chain->size() * clusterBytes < size) {
        return {Status::Damaged, {}, "the cluster chain of \"" + item->name + "\" is broken"};
    }
    FileRead read;
    read.contents.reserve(size);
    for (const unsigned cluster : *chain) {
        if (read.contents.size() == size) {
            break;
        }
        const std::size_t take = std::min(clusterBytes, size - read.contents.size());
        const auto* data =
            reinterpret_cast<const char*>(image.data() + check.layout.ClusterOffset(cluster));
        read.contents.append(data, take);
    }
    return read;
}

Listing ListDirectory(std::span<const std::byte> image, std::string_view path) {
    const VolumeCheck check = CheckForReading(image);
    if (check.status != Status::Ok) {
        return {check.status, {}, check.detail};
    }
    const FolderLookup folder = FindFolder(check.layout, image, SplitPath(path));
    if (folder.status != Status::Ok) {
        return {folder.status, {}, folder.detail};
    }
    Listing listing;
    for (const FoundEntry& found : ReadEntries(image, folder.slots)) {
        DirectoryItem item;
        item.name = found.name;
        item.shortName = found.shortName;
        item.size = found.entry.fileSize.Get();
        item.attributes = found.entry.attributes;
        item.created = Created(found.entry);
        item.modified = Modified(found.entry);
        item.accessDate = found.entry.accessDate.Get();
        item.directory = IsDirectory(found.entry);
        listing.items.push_back(std::move(item));
    }
    return listing;
}

bool IsDotItem(const DirectoryItem& item) {
    return item.shortName == "." || item.shortName == "..";
}

std::uint64_t FreeBytes(std::span<const std::byte> image) {
    const std::optional<Layout> layout = ReadLayout(image).layout;
    if (!layout) {
        return 0;
    }
    return static_cast<std::uint64_t>(layout->clusterBytes) *
           FreeClusters(*layout, image, layout->clusterCount).size();
}

}  // namespace quarnex::fat12
