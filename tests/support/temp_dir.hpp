#pragma once
// A scratch folder for one test, removed with everything in it afterwards,
// and helpers for the files tests work with.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quarnex::testing {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path of a name inside the folder.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// A file of that size that takes no disk space until written.
void MakeSparseFile(const std::string& path, std::uint64_t size);
void WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);
void WriteFileText(const std::string& path, const std::string& text);
std::vector<unsigned char> ReadFileBytes(const std::string& path, std::uint64_t offset = 0,
                                         std::size_t count = SIZE_MAX);
std::string ReadFileText(const std::string& path);
std::uint64_t FileSize(const std::string& path);

// Bytes the file really occupies on disk.
std::uint64_t AllocatedBytes(const std::string& path);

}  // namespace quarnex::testing
