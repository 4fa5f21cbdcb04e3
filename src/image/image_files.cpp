#include "image/image_files.hpp"

#include <algorithm>
#include <span>
#include <vector>

#include "core/media_sizes.hpp"
#include "fat12/volume_check.hpp"
#include "state/local_stamp.hpp"

namespace quarnex {

namespace {

template <typename Byte>
std::span<Byte> Volume(std::span<Byte> image) {
    return image.first(kImageBytes);
}

// Puts a staged change into the image; nothing changes unless it is whole.
ImageChange Apply(std::span<std::byte> image, const fat12::ReplaceStages& stages) {
    if (stages.status != fat12::Status::Ok) {
        return {stages.status, stages.detail};
    }
    return {fat12::ApplyStages(Volume(image), stages), {}};
}

// Removes a folder's items deepest first, then the folder (or the file).
ImageChange RemoveFrom(std::vector<std::byte>& image, const std::string& path) {
    const fat12::Listing inside = fat12::ListDirectory(image, path);
    if (inside.status == fat12::Status::Ok) {
        for (const fat12::DirectoryItem& item : inside.items) {
            if (fat12::IsDotItem(item)) {
                continue;
            }
            const ImageChange removed = RemoveFrom(image, path + "/" + item.name);
            if (!removed.Ok()) {
                return removed;
            }
        }
    }
    const fat12::ReplaceStages stages = fat12::StageRemove(image, path);
    if (stages.status != fat12::Status::Ok) {
        return {stages.status, stages.detail};
    }
    return {fat12::ApplyStages(image, stages), {}};
}

}  // namespace

ImageFolder ListImageFolder(std::span<const std::byte> image, const std::string& folder) {
    ImageFolder result;
    result.listing = fat12::ListDirectory(Volume(image), folder);
    const fat12::VolumeCheck check = fat12::CheckForWriting(Volume(image));
    result.writable = check.status;
    result.writeDetail = check.detail;
    return result;
}

std::uint64_t ImageFreeBytes(std::span<const std::byte> image) {
    return fat12::FreeBytes(Volume(image));
}

fat12::FileRead ReadImageFile(std::span<const std::byte> image, const std::string& path) {
    return fat12::ReadFile(Volume(image), path);
}

ImageItemKind FindImageItem(std::span<const std::byte> image, const std::string& path) {
    const fat12::Status status = fat12::ReadFile(Volume(image), path).status;
    if (status == fat12::Status::Ok) {
        return ImageItemKind::File;
    }
    return status == fat12::Status::IsAFolder ? ImageItemKind::Folder : ImageItemKind::None;
}

ImageChange WriteImageFile(std::span<std::byte> image, Clock& clock, const std::string& path,
                           const std::string& contents) {
    return Apply(image, fat12::StageFileWrite(Volume(image), path, contents, StampNow(clock)));
}

ImageChange MakeImageFolder(std::span<std::byte> image, Clock& clock, const std::string& path) {
    return Apply(image, fat12::StageMakeFolder(Volume(image), path, StampNow(clock)));
}

ImageChange RemoveImageItem(std::span<std::byte> image, const std::string& path) {
    // Worked on a copy, so that a folder is either gone with everything in
    // it or still whole.
    const std::span<std::byte> volume = Volume(image);
    std::vector<std::byte> copy(volume.begin(), volume.end());
    const ImageChange removed = RemoveFrom(copy, path);
    if (removed.Ok()) {
        std::copy(copy.begin(), copy.end(), volume.begin());
    }
    return removed;
}

}  // namespace quarnex
