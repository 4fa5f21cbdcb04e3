#pragma once
// A scratch folder for one test, removed with everything in it afterwards,
// helpers for the files tests work with, and the standard tools that check them.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quarnex::testing {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path of a name inside the folder, with the system's separator as the program shows it.
    std::string operator/(const std::string& name) const {
        return path_ + static_cast<char>(std::filesystem::path::preferred_separator) + name;
    }

  private:
    std::string path_;
};

// A file of that size that takes no disk space until written.
void MakeSparseFile(const std::string& path, std::uint64_t size);
void WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);
void WriteFileText(const std::string& path, const std::string& text);
// Overwrites bytes in place from offset.
void PutBytes(const std::string& path, std::uint64_t offset, std::string_view bytes);
void PutBytes(const std::string& path, std::uint64_t offset,
              const std::vector<unsigned char>& bytes);
std::vector<unsigned char> ReadFileBytes(const std::string& path, std::uint64_t offset = 0,
                                         std::size_t count = SIZE_MAX);
std::string ReadFileText(const std::string& path);
std::uint64_t FileSize(const std::string& path);

// Bytes the file really occupies on disk.
std::uint64_t AllocatedBytes(const std::string& path);
// A file's bytes as the FAT12 engine takes a volume.
std::vector<std::byte> ReadVolume(const std::string& path, std::uint64_t offset = 0,
                                  std::size_t count = SIZE_MAX);

// A shell command's exit status; its stdout and stderr go to output.
int RunCommand(const std::string& command, std::string* output = nullptr);
bool HaveTools(std::initializer_list<const char*> names);  // all on PATH
// An mtools command, which must succeed; its output.
std::string Mtools(const std::string& command);
// Every folder ("::/Sub/") and file ("::/Sub/a.txt") of an image, as mdir -/ -b lists them.
std::set<std::string> MtoolsPaths(const std::string& image);
std::uint64_t MtoolsFreeBytes(const std::string& image);  // "1 432 576 bytes free"

}  // namespace quarnex::testing
