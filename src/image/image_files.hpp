#pragma once
// Files and folders inside the internal image: listed and read as they are,
// changed as whole steps (a change either lands complete or leaves the image
// as it was), with the program's clock as the time stamp. A change marks the
// image as changed in the status strip.

#include <cstdint>
#include <string>

#include "fat12/fat12_volume.hpp"
#include "state/context.hpp"

namespace quarnex {

struct ImageFolder {
    fat12::Listing listing;  // "." and ".." of subfolders included
    // Whether changes may be made, and why not (FatsDiffer, Damaged).
    fat12::Status writable = fat12::Status::Ok;
    std::string writeDetail;
};
ImageFolder ListImageFolder(Context& ctx, const std::string& folder);
std::uint64_t ImageFreeBytes(Context& ctx);

fat12::FileRead ReadImageFile(Context& ctx, const std::string& path);

enum class ImageItemKind { None, File, Folder };
// What stands at path (None also when the volume cannot be read).
ImageItemKind FindImageItem(Context& ctx, const std::string& path);

struct ImageChange {
    fat12::Status status = fat12::Status::Ok;
    std::string detail;
    bool Ok() const { return status == fat12::Status::Ok; }
};
// Creates or replaces the file at path.
ImageChange WriteImageFile(Context& ctx, const std::string& path, const std::string& contents);
ImageChange MakeImageFolder(Context& ctx, const std::string& path);
// A file, or a folder with everything in it.
ImageChange RemoveImageItem(Context& ctx, const std::string& path);

}  // namespace quarnex
