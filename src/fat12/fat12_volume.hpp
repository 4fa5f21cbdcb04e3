#pragma once
// Files and folders inside a FAT12 volume held in memory: any layout that
// fits the bytes given (a slot, or a whole image file), checked before use.
// Reading works on any volume whose boot sector adds up; writing only on one
// that passes every check, and never leaves it half changed: a write is a
// series of small stages (StageFileWrite) that a caller may put on the medium
// one after another, or apply at once.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fat12/dir_entry.hpp"

namespace quarnex::fat12 {

enum class Status {
    Ok,
    NotFound,      // no such file or folder
    BadName,       // a name no FAT volume can hold
    Full,          // not enough free clusters
    Damaged,       // the volume's structures do not add up
    FatsDiffer,    // the FAT copies differ: read, never written
    Exists,        // a file or folder of the name to make is there already
    NotEmpty,      // a folder to remove still holds files
    NotAFolder,    // a path goes through a file
    IsAFolder,     // a file was asked for and a folder found
    DotPart,       // a path part is "." or "..", a folder's own entries
    NoRoomBeside,  // a replacement's new data does not fit in the free clusters
    RootFull,      // the root folder's fixed entries are all taken
    Unhandled,     // a sound layout this code does not handle (larger sectors)
};

const char* StatusText(Status status);
// The text with the reason after it: "The FAT12 volume is damaged: its ...".
std::string StatusText(Status status, const std::string& detail);

// Fills image (at least kVolumeBytes long) with a blank 1.44 MB volume. A
// label that is not blank also goes into a volume-label entry, the first
// root entry. Serial number and time stamps are fixed, so the bytes are
// always the same.
void BuildBlankVolume(std::span<std::byte> image, std::string_view label);

// Paths name files and folders from the root, parts separated by "/"; each
// part is matched without regard to case against long and short names.

struct FileRead {
    Status status = Status::Ok;
    std::string contents;
    std::string detail;  // why, when status is Damaged or FatsDiffer
};
FileRead ReadFile(std::span<const std::byte> image, std::string_view path);

struct DirectoryItem {
    std::string name;       // long name, or the short one
    std::string shortName;  // "NAME.EXT"
    std::uint32_t size = 0;
    std::byte attributes{0};
    Stamp created;
    Stamp modified;
    std::uint16_t accessDate = 0;
    bool directory = false;
};
struct Listing {
    Status status = Status::Ok;
    std::vector<DirectoryItem> items;  // "." and ".." of subdirectories included
    std::string detail;
};
Listing ListDirectory(std::span<const std::byte> image, std::string_view path);
// "." or "..": a subdirectory's entries for itself and its parent.
bool IsDotItem(const DirectoryItem& item);

// The bytes in free clusters; 0 when the boot sector cannot be read.
std::uint64_t FreeBytes(std::span<const std::byte> image);

// A change as a series of stages, each one step further:
//   1. new data (and new directory clusters) in free clusters;
//   2. their chains marked in both FATs, the old chain still allocated;
//   3. (empty: kept so that every change has the same steps);
//   4. the directory entry: long-name entries, name, first cluster, size,
//      times; all in one sector whenever the folder has room there;
//   5. the old chain freed in both FATs.
// Putting on the medium the sectors each stage touches, in order and each
// stage flushed, leaves the old or the new file wherever the writing stops,
// and at worst clusters no file uses. A replacement whose new data does not
// fit in free clusters beside the old chain is refused (NoRoomBeside), never written
// over the old one.
// A stage holds bytes put at offsets of the volume and FAT entries set in
// every copy: entries rather than bytes, because two entries share a byte and
// merged changes (MergeStages) must not carry one change's later step into
// another's earlier one. stages is empty unless status is Ok. The FATs lie at
// [fatBegin, fatEnd), fatBytes each, to be written together.
struct ByteEdit {
    std::size_t offset = 0;
    std::vector<std::byte> bytes;
};
struct FatEdit {
    unsigned cluster = 0;
    unsigned value = 0;
};
struct Stage {
    std::vector<ByteEdit> bytes;
    std::vector<FatEdit> fat;
};
struct ReplaceStages {
    Status status = Status::Ok;
    std::vector<Stage> stages;
    std::string detail;
    std::size_t fatBegin = 0;
    std::size_t fatEnd = 0;
    std::size_t fatBytes = 0;
    bool replaces = false;  // a file that exists is replaced
};

// Creates or replaces the file at path, whose folder must exist. A file that
// exists keeps its names, creation time and attributes (plus archive); its
// modified and accessed dates become now.
ReplaceStages StageFileWrite(std::span<const std::byte> image, std::string_view path,
                             std::string_view contents, const Stamp& now);
// Makes the folder at path (with "." and ".."), whose parent must exist.
ReplaceStages StageMakeFolder(std::span<const std::byte> image, std::string_view path,
                              const Stamp& now);
// Removes the file or empty folder at path: its entries first, then its chain.
ReplaceStages StageRemove(std::span<const std::byte> image, std::string_view path);

// Applies every stage of a successful change to image.
Status ApplyStages(std::span<std::byte> image, const ReplaceStages& stages);

// Whole sectors [begin, end) of the volume.
struct SectorRun {
    std::size_t begin = 0;
    std::size_t end = 0;
};
// Applies stage number index to image and returns the sectors it touched in
// ascending runs; the FAT sectors form one run, so that both copies reach the
// medium in the same write.
std::vector<SectorRun> ApplyStage(std::span<std::byte> image, const ReplaceStages& stages,
                                  std::size_t index);

// Joins a later change (staged on the volume after into) to into, step by
// step: step k of both comes before step k+1 of either. Sound when the later
// change was staged by the same VolumeEditor within one batch.
void MergeStages(ReplaceStages& into, ReplaceStages&& later);

// The same for a file in the root directory, as the store's DISKS.TXT is kept.
FileRead ReadRootFile(std::span<const std::byte> image, std::string_view name);
ReplaceStages StageRootFileReplace(std::span<const std::byte> image, std::string_view name,
                                   std::string_view contents, const Stamp& now = {});
Status ReplaceRootFile(std::span<std::byte> image, std::string_view name, std::string_view contents,
                       const Stamp& now = {});

}  // namespace quarnex::fat12
