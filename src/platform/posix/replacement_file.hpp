#pragma once
// Outputs that replace a file without ever leaving it half written: the new
// data goes to a file of its own in the same folder, and only once that is
// on the medium does a rename put it in the old one's place. A link is
// followed, so its target is replaced and the link stays; anything but a
// regular file is refused, and a file this user may not write stays so.

#include <string>

#include "ports/device_backend.hpp"

namespace quarnex {

// The new file for path, opened for writing (or reading and writing).
// Errors: EACCES for a file this user may not write, EISDIR for a folder,
// EEXIST for a device, pipe or socket of that name.
OpenResult OpenReplacement(const std::string& path, Access access);

OutputCheck ExamineOutputPath(const std::string& path);

}  // namespace quarnex
