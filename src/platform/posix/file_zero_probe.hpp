#pragma once
// Tells whether a stretch of a regular file reads as zeros, from the file
// system's map of holes (lseek SEEK_DATA / SEEK_HOLE). Only where the file
// holds data are bytes read, in large pieces, so a sparse store costs a few
// calls per slot instead of a read per piece.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quarnex {

class FileZeroProbe {
  public:
    explicit FileZeroProbe(std::string path) : path_(std::move(path)) {}
    ~FileZeroProbe();
    FileZeroProbe(const FileZeroProbe&) = delete;
    FileZeroProbe& operator=(const FileZeroProbe&) = delete;

    // Whether [position, position + count) reads as zeros; the stretch lies
    // inside the file. False when the file cannot be examined.
    bool ReadsZeros(std::uint64_t position, std::size_t count);
    // The file was just written there; data is what was written, or null
    // when that is not known (a failed write).
    void Written(std::uint64_t position, const std::byte* data, std::size_t count);

  private:
    bool Opened();
    bool ReadAhead(std::uint64_t position, std::uint64_t stop);

    std::string path_;
    int fd_ = -1;
    bool tried_ = false;
    // Known to read as zeros.
    std::uint64_t zeroFrom_ = 0;
    std::uint64_t zeroTo_ = 0;
    // A copy of the file's bytes from bufferFrom_.
    std::vector<std::byte> buffer_;
    std::uint64_t bufferFrom_ = 0;
    std::size_t bufferBytes_ = 0;
};

}  // namespace quarnex
