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
#include <vector>

namespace quarnex::fat12 {

enum class Status {
    Ok,
    NotFound,  // no such file in the root directory
    BadName,   // not a valid 8.3 name
    Full,      // not enough free clusters or no free root entry
    Damaged,   // not a 1.44 MB FAT12 volume, or its structures do not add up
    Folder,    // the name belongs to a folder
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

// The same replacement as four whole volume images, each one step further:
//   1. the new data in free clusters;
//   2. its chain marked in both FATs, the old chain still allocated;
//   3. the directory entry naming the new chain and size;
//   4. the old chain freed in both FATs.
// Putting on the medium the sectors by which each image differs from the
// one before, in order and each step flushed, leaves the old or the new file
// readable wherever the writing stops, and at worst clusters no file uses.
// (When only the old chain's clusters can hold the new data they are reused
// in step 1, and that no longer holds.) images is empty unless status is Ok.
struct ReplaceStages {
    Status status = Status::Ok;
    std::vector<std::vector<std::byte>> images;
};
ReplaceStages StageRootFileReplace(std::span<const std::byte> image, std::string_view name,
                                   std::string_view contents);

}  // namespace quarnex::fat12
