#pragma once
// Files that must not be written (or read) beside a store: the store itself
// under any name, its loop device's backing file, or a file on a file system
// mounted from it. Writing one while the store is copied destroys the store
// or the copy, so it is refused before anything is opened.

#include <cstdint>
#include <string>

#include "state/operation_ports.hpp"

namespace quarnex {

// What follows the path in a refusal: "is the store itself". Empty for None.
std::string OverlapWords(StoreOverlap overlap);

// True, after a message box with the given title, when path overlaps the
// store at storePath.
bool RefuseStoreOverlap(OperationPorts& ports, const std::string& path,
                        const std::string& storePath, const std::string& title);

// Why path cannot take a new file of the given size, as a sentence ("This is
// a folder, not a file."); empty when it can. Only a regular file this user
// may write is replaced, and only when its folder has room for the new file
// beside the old one.
std::string OutputProblem(OperationPorts& ports, const std::string& path, std::uint64_t bytes);

// True, after a message box with the given title, when OutputProblem finds
// one.
bool RefuseUnusableOutput(OperationPorts& ports, const std::string& path, std::uint64_t bytes,
                          const std::string& title);

}  // namespace quarnex
