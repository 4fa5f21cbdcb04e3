#pragma once
// A formatted store file made once by the tool under test, and fresh sparse
// copies of it for each test.

#include <cstdint>
#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace quarnex::testing {

// Path of the store made by "create --id mystick --base fdisk"; made on first
// use. Tests never change it: they work on copies.
const std::string& MasterStore();

// A sparse copy of the master store in dir.
std::string CopyOfMasterStore(const TempDir& dir, const std::string& name);

// Bytes of a file region, compared as a whole.
std::vector<unsigned char> Region(const std::string& path, std::uint64_t offset, std::size_t count);

// True when both files have the same length and bytes (read in slot-sized
// chunks, so whole stores compare without loading them).
bool SameBytes(const std::string& a, const std::string& b);

// Length of a file, 0 when it does not exist (yet).
std::uint64_t FileSizeOrZero(const std::string& path);

// Bytes the file really occupies on disk.
std::uint64_t AllocatedBytes(const std::string& path);

// A 1.44 MB image with a recognisable pattern and the given volume label.
std::vector<unsigned char> PatternImage(unsigned seed, const std::string& label);

}  // namespace quarnex::testing
