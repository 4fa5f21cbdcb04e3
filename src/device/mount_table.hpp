#pragma once
// Reading the kernel's table of mounted file systems (mountinfo format).

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
