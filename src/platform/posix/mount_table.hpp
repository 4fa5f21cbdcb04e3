#pragma once
// The kernel's table of mounted file systems (Linux's mountinfo format),
// parsed; the callers read the file.

#include <string>
#include <string_view>
#include <vector>

namespace quarnex {

struct MountEntry {
    unsigned major = 0;
    unsigned minor = 0;
    std::string mountPoint;  // unescaped
    std::string source;      // the mounted device as the kernel names it, unescaped
};

// Lines that do not have the expected shape are skipped.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

}  // namespace quarnex
