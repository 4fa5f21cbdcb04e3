#pragma once
// Files and folders inside one FAT12 volume: a slot of a store, or a floppy
// image file. Every change is checked in full before the first byte is
// written, then put on the medium in the engine's crash-safe order, each
// stage flushed. The caller holds the store's lock (exclusive for changes).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fat12/fat12_volume.hpp"
#include "state/operation_ports.hpp"
#include "store/read_back.hpp"

namespace quarnex {

struct VolumeTarget {
    std::string path;         // the store (device or whole-store file), or the image file
    std::optional<int> slot;  // 0..999 for a store; none for an image file
};

// Image files larger than a 2.88 MB floppy are not taken for one.
inline constexpr std::uint64_t kLargestImageFile = 2'949'120;

enum class FilesFailure {
    None,
    Open,      // the target could not be opened or read (error)
    TooLarge,  // an image file larger than kLargestImageFile
    Mounted,   // slot 0 of a store whose volume is mounted: change it there (name)
    Volume,    // the volume refused: status, detail, name (a path in it)
    Source,    // a file to copy in could not be read (error, name)
    NotAFile,  // a file to copy in is no regular file (name): a pipe, device, /proc file
    TooBig,    // a file to copy in is larger than any floppy (name)
    Target,    // the file to copy out to could not be written (error, name)
    Write,     // writing the volume failed (error); earlier stages are on it
    ReadBack,  // written, but the medium does not hold it: detail is the first differing byte
};

struct FilesResult {
    FilesFailure failure = FilesFailure::None;
    fat12::Status status = fat12::Status::Ok;
    std::string detail;
    std::string name;
    int error = 0;
    // A put that may not replace: the paths in the volume of files that exist.
    std::vector<std::string> existing;
    bool Ok() const { return failure == FilesFailure::None && existing.empty(); }
};

struct FolderListing {
    FilesResult result;
    std::vector<fat12::DirectoryItem> items;
    std::uint64_t freeBytes = 0;
};
FolderListing ListVolumeFolder(OperationPorts& ports, const VolumeTarget& target,
                               const std::string& path);

// Copies the file at path out to destination (a file path): written beside
// it under a temporary name, flushed, then renamed over it.
FilesResult CopyFileOut(OperationPorts& ports, const VolumeTarget& target, const std::string& path,
                        const std::string& destination);

struct PutRequest {
    std::vector<std::string> files;  // host files; each keeps its name
    std::string folder;              // in the volume; empty for the root
    bool replace = false;            // false: existing files are listed, nothing is written
    bool keepTime = false;           // each file keeps its modification time
    // The name of the one file in the volume; set, that file is read to its
    // end whatever it is (a pipe too), otherwise only regular files are taken.
    std::string name;
    ReadBack readBack = ReadBack::On;  // the volume is read back from the medium once written
};
FilesResult PutFiles(OperationPorts& ports, const VolumeTarget& target, const PutRequest& request);

// Removes files and empty folders (a folder after the files in it, when both
// are named).
FilesResult RemoveFiles(OperationPorts& ports, const VolumeTarget& target,
                        const std::vector<std::string>& paths);

// Makes the folder at path; with Made, also the folders above it that
// are missing, and a folder that exists is no error.
enum class ParentFolders { MustExist, Made };
FilesResult MakeVolumeFolder(OperationPorts& ports, const VolumeTarget& target,
                             const std::string& path,
                             ParentFolders parents = ParentFolders::MustExist);

// The volume path of a host file put into folder.
std::string PathInFolder(const std::string& folder, const std::string& hostFile);
// The volume path the ith file of request goes to.
std::string PutPath(const PutRequest& request, std::size_t i);

}  // namespace quarnex
