// Status texts, and the root-directory file that the store keeps its
// descriptions in.
#include "fat12/fat12_volume.hpp"

namespace quarnex::fat12 {

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
        case Status::FatsDiffer:
            return "The two FATs of the FAT12 volume differ, so it is not written.";
        case Status::Exists:
            return "A file or folder of that name exists already.";
        case Status::NotEmpty:
            return "The folder is not empty.";
        case Status::NotAFolder:
            return "A part of the path is a file, not a folder.";
        case Status::IsAFolder:
            return "The path names a folder, not a file.";
        case Status::NoRoomBeside:
            return "The new copy does not fit beside the old one, which is kept until the new "
                   "one is complete.";
        case Status::RootFull:
            return "The root folder has no free entry left (it holds a fixed number); remove "
                   "something there or put the file into a folder.";
        case Status::Unhandled:
            return "The volume cannot be worked on here.";
        case Status::DotPart:
            return "\".\" and \"..\" are a folder's own entries: name files and folders by "
                   "their names.";
    }
    return "";
}

std::string StatusText(Status status, const std::string& detail) {
    std::string text = StatusText(status);
    if (!detail.empty()) {
        text.back() = ':';
        text += " " + detail + ".";
    }
    return text;
}

FileRead ReadRootFile(std::span<const std::byte> image, std::string_view name) {
    if (name.find('/') != std::string_view::npos) {
        return {Status::BadName, {}, {}};
    }
    return ReadFile(image, name);
}

ReplaceStages StageRootFileReplace(std::span<const std::byte> image, std::string_view name,
                                   std::string_view contents, const Stamp& now) {
    if (name.find('/') != std::string_view::npos) {
        ReplaceStages refused;
        refused.status = Status::BadName;
        return refused;
    }
    return StageFileWrite(image, name, contents, now);
}

Status ReplaceRootFile(std::span<std::byte> image, std::string_view name, std::string_view contents,
                       const Stamp& now) {
    return ApplyStages(image, StageRootFileReplace(image, name, contents, now));
}

}  // namespace quarnex::fat12
