#include "image/image_files.hpp"

#include <algorithm>
#include <span>
#include <vector>

#include "core/media_sizes.hpp"
#include "fat12/volume_check.hpp"
#include "state/local_stamp.hpp"
#include "state/status.hpp"

namespace quarnex {

namespace {

std::span<std::byte> Volume(Context& ctx) {
    return ctx.state.imageBuffer.Span().first(kImageBytes);
}

// Puts a staged change into the image; nothing changes unless it is whole.
ImageChange Apply(Context& ctx, const fat12::ReplaceStages& stages) {
    if (stages.status != fat12::Status::Ok) {
        return {stages.status, stages.detail};
    }
    const fat12::Status applied = fat12::ApplyStages(Volume(ctx), stages);
    if (applied == fat12::Status::Ok) {
        MarkImageChanged(ctx);
    }
    return {applied, {}};
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

ImageFolder ListImageFolder(Context& ctx, const std::string& folder) {
    ImageFolder result;
    result.listing = fat12::ListDirectory(Volume(ctx), folder);
    const fat12::VolumeCheck check = fat12::CheckForWriting(Volume(ctx));
    result.writable = check.status;
    result.writeDetail = check.detail;
    return result;
}

std::uint64_t ImageFreeBytes(Context& ctx) {
    return fat12::FreeBytes(Volume(ctx));
}

fat12::FileRead ReadImageFile(Context& ctx, const std::string& path) {
    return fat12::ReadFile(Volume(ctx), path);
}

ImageItemKind FindImageItem(Context& ctx, const std::string& path) {
    const fat12::Status status = fat12::ReadFile(Volume(ctx), path).status;
    if (status == fat12::Status::Ok) {
        return ImageItemKind::File;
    }
    return status == fat12::Status::IsAFolder ? ImageItemKind::Folder : ImageItemKind::None;
}

ImageChange WriteImageFile(Context& ctx, const std::string& path, const std::string& contents) {
    return Apply(ctx, fat12::StageFileWrite(Volume(ctx), path, contents, StampNow(ctx.clock)));
}

ImageChange MakeImageFolder(Context& ctx, const std::string& path) {
    return Apply(ctx, fat12::StageMakeFolder(Volume(ctx), path, StampNow(ctx.clock)));
}

ImageChange RemoveImageItem(Context& ctx, const std::string& path) {
    // Worked on a copy, so that a folder is either gone with everything in
    // it or still whole.
    const std::span<std::byte> volume = Volume(ctx);
    std::vector<std::byte> copy(volume.begin(), volume.end());
    const ImageChange removed = RemoveFrom(copy, path);
    if (removed.Ok()) {
        std::copy(copy.begin(), copy.end(), volume.begin());
        MarkImageChanged(ctx);
    }
    return removed;
}

}  // namespace quarnex
