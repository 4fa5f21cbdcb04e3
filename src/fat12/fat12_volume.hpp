#pragma once
// A small FAT12 toolkit for 1.44 MB volumes held in memory: building a blank
// volume and reading or replacing one file in its root directory (labels:
// volume_label.hpp). Operations check the volume first and never leave it half
// changed: on any error the image is exactly as it was.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quarnex::fat12 {

enum class Status {
    Ok,
    NotFound,  // no such file in the root directory
    BadName,   // not a valid 8.3 name
    Full,      // not enough free clusters or no free root entry
    Damaged,   // not a 1.44 MB FAT12 volume, or its structures do not add up
};

const char* StatusText(Status status);

// Fills image (at least kVolumeBytes long) with a blank volume whose label
// sits in the boot sector and in a volume-label entry, the first root entry.
// Serial number and time stamps are fixed, so the bytes are always the same.
void BuildBlankVolume(std::span<std::byte> image, std::string_view label);

// "disks.txt" -> "DISKS   TXT"; empty when the name does not fit 8.3.
std::string ShortName(std::string_view name);

struct FileRead {
    Status status = Status::Ok;
    std::string contents;
};

// Reads the file of that name (matched without regard to case) from the root
// directory.
FileRead ReadRootFile(std::span<const std::byte> image, std::string_view name);

// Creates or replaces the file of that name in the root directory: the data
// goes to free clusters, both FAT copies are updated and the old chain is
// freed. An existing entry keeps its stored name.
Status ReplaceRootFile(std::span<std::byte> image, std::string_view name,
                       std::string_view contents);

}  // namespace quarnex::fat12
