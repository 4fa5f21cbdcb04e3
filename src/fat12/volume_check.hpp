#pragma once
// The checks a volume passes before it is read or written, and the walk from
// the root to the folder a path names.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fat12/directory.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/volume_layout.hpp"

namespace quarnex::fat12 {

struct VolumeCheck {
    Status status = Status::Ok;
    std::string detail;
    Layout layout;
};

// Reading needs a boot sector whose fields add up.
VolumeCheck CheckForReading(std::span<const std::byte> image);
// Writing also needs the boot sector's signature, equal FAT copies that begin
// with the boot sector's media byte, and a sound tree: every chain inside the
// data area, ending properly, as long as its file, and owned by one entry.
VolumeCheck CheckForWriting(std::span<const std::byte> image);

// "A/b//c.txt" -> {"A", "b", "c.txt"}.
std::vector<std::string> SplitPath(std::string_view path);

// A name a long-name entry can hold and other systems accept.
bool IsValidName(std::string_view name);

// "." or "..": removing or following them would cut a folder off its
// parent, so paths never name them.
bool IsDotName(std::string_view part);

struct FolderLookup {
    Status status = Status::Ok;
    DirectorySlots slots;
    std::string detail;
};
// The folder reached through parts (DotPart for a "." or ".." among them).
FolderLookup FindFolder(const Layout& layout, std::span<const std::byte> image,
                        const std::vector<std::string>& parts);

}  // namespace quarnex::fat12
