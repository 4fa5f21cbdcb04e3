#pragma once
// Directories as runs of 32-byte entries: the fixed root area or a cluster
// chain. Reading joins long names to their short entries.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fat12/dir_entry.hpp"
#include "fat12/volume_layout.hpp"

namespace quarnex::fat12 {

// Where each entry of one directory lies in the volume.
struct DirectorySlots {
    unsigned firstCluster = 0;         // 0 for the root
    std::vector<unsigned> clusters;    // the chain of a subdirectory
    std::vector<std::size_t> offsets;  // byte offset of every entry
};

// The slots of the root (firstCluster 0) or of the subdirectory starting
// there; nothing when its chain is broken.
std::optional<DirectorySlots> ReadDirectorySlots(const Layout& layout,
                                                 std::span<const std::byte> image,
                                                 unsigned firstCluster);

struct FoundEntry {
    std::string name;       // the long name, or the short one when there is none
    std::string shortName;  // "NAME.EXT"
    DirEntry entry;
    std::size_t slot = 0;       // index of the short entry among the slots
    std::size_t firstSlot = 0;  // index of its first long-name entry (slot without one)
};

// The files and folders of a directory in stored order, "." and ".."
// included; volume labels, deleted entries and stray long-name parts not.
std::vector<FoundEntry> ReadEntries(std::span<const std::byte> image, const DirectorySlots& slots);

// The entry named name (long or short, without regard to case).
std::optional<FoundEntry> FindEntry(std::span<const std::byte> image, const DirectorySlots& slots,
                                    std::string_view name);

// The first index of count consecutive free slots (deleted, or at or after
// the end mark), if there is one; with OneSector, only slots that share a
// sector, so that a single sector write puts all of them on the medium.
enum class SlotRun { Anywhere, OneSector };
std::optional<std::size_t> FreeSlots(std::span<const std::byte> image, const DirectorySlots& slots,
                                     std::size_t count, SlotRun run = SlotRun::Anywhere);

bool IsDirectory(const DirEntry& entry);

// "." or "..", the two entries every subdirectory starts with.
bool IsDotEntry(const FoundEntry& item);

}  // namespace quarnex::fat12
