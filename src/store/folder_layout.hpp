#pragma once
// A store's slots as a folder of image files: the names export gives them,
// the slot import reads from a name, and the plain text file of descriptions
// that lies beside them. The folder is what file-based emulator firmware
// reads from an ordinary FAT32 stick, so names keep to what FAT32 can hold.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace quarnex {

// Beside the images: one line per slot, "007 text", UTF-8, CR LF; a line
// break inside a description is written \n and a backslash \\.
inline constexpr const char* kFolderDescriptionsName = "descriptions.txt";

// "005.img"; with an ID, "005_MYDISK.img", the ID trimmed of spaces and every
// character a FAT32 name cannot hold (or end with) replaced by "_".
std::string SlotImageName(int slot, const std::optional<std::string>& diskId);

// What a file's name says about where import puts it: "NNN.img" and
// "NNN_anything.img" (any case of .img) name slot NNN, as any number does,
// so that 000 and 1000 can be refused; other .img files are unnumbered.
struct NamedSlot {
    enum class Kind { NotImage, Unnumbered, Numbered };
    Kind kind = Kind::NotImage;
    long number = 0;  // Numbered; 10000 stands for anything longer
};
NamedSlot SlotOfImageName(std::string_view name);

// The descriptions file's text for these slots (1..999) and descriptions
// (lines joined by CR LF).
std::string FolderDescriptionsText(const std::map<int, std::string>& descriptions);

// What a descriptions file gives back: each slot's description, and how many
// lines could not be placed (no slot number 1..999, or a slot given twice).
// Blank lines are passed over.
struct FolderDescriptions {
    std::map<int, std::string> bySlot;
    int skipped = 0;
};
FolderDescriptions ParseFolderDescriptions(std::string_view text);

}  // namespace quarnex
