#pragma once
// Files and folders inside a floppy image (the internal image): listed and
// read as they are, changed as whole steps (a change either lands complete or
// leaves the image as it was), with the given clock as the time stamp.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fat12/fat12_volume.hpp"
#include "ports/clock.hpp"

namespace quarnex {

struct ImageFolder {
    fat12::Listing listing;  // "." and ".." of subfolders included
    // Whether changes may be made, and why not (FatsDiffer, Damaged).
    fat12::Status writable = fat12::Status::Ok;
    std::string writeDetail;
};
// image: at least one floppy image; only its first 1.44 MB are the volume.
ImageFolder ListImageFolder(std::span<const std::byte> image, const std::string& folder);
std::uint64_t ImageFreeBytes(std::span<const std::byte> image);

fat12::FileRead ReadImageFile(std::span<const std::byte> image, const std::string& path);

enum class ImageItemKind { None, File, Folder };
// What stands at path (None also when the volume cannot be read).
ImageItemKind FindImageItem(std::span<const std::byte> image, const std::string& path);

struct ImageChange {
    fat12::Status status = fat12::Status::Ok;
    std::string detail;
    bool Ok() const { return status == fat12::Status::Ok; }
};
// Creates or replaces the file at path.
ImageChange WriteImageFile(std::span<std::byte> image, Clock& clock, const std::string& path,
                           const std::string& contents);
ImageChange MakeImageFolder(std::span<std::byte> image, Clock& clock, const std::string& path);
// A file, or a folder with everything in it.
ImageChange RemoveImageItem(std::span<std::byte> image, const std::string& path);

}  // namespace quarnex
