#include "platform/posix/file_zero_probe.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/all_zero.hpp"

namespace quarnex {

namespace {

// How much of a stretch with data is read at once.
constexpr std::size_t kReadAheadBytes = 256 * 1024;

}  // namespace

FileZeroProbe::~FileZeroProbe() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool FileZeroProbe::Opened() {
    if (!tried_) {
        tried_ = true;
        fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    }
    return fd_ >= 0;
}

bool FileZeroProbe::ReadsZeros(std::uint64_t position, std::size_t count) {
    const std::uint64_t end = position + count;
    if (zeroFrom_ <= position && end <= zeroTo_) {
        return true;
    }
    if (bufferFrom_ <= position && end <= bufferFrom_ + bufferBytes_) {
        return AllZero(buffer_.data() + (position - bufferFrom_), count);
    }
    if (!Opened()) {
        return false;
    }
    const off_t data = ::lseek(fd_, static_cast<off_t>(position), SEEK_DATA);
    if (data < 0 && errno == ENXIO) {
        // Nothing but holes from here to the end.
        zeroFrom_ = position;
        zeroTo_ = UINT64_MAX;
        return true;
    }
    if (data >= 0 && static_cast<std::uint64_t>(data) >= end) {
        zeroFrom_ = position;
        zeroTo_ = static_cast<std::uint64_t>(data);
        return true;
    }
    // Data within the stretch (or a file system without a hole map): look
    // at the bytes, reading no further than the data goes.
    std::uint64_t stop = position + std::max(count, kReadAheadBytes);
    if (data >= 0) {
        const off_t hole = ::lseek(fd_, data, SEEK_HOLE);
        if (hole >= 0 && static_cast<std::uint64_t>(hole) >= end) {
            stop = std::min(stop, static_cast<std::uint64_t>(hole));
        }
    }
    return ReadAhead(position, stop) && bufferBytes_ >= count && AllZero(buffer_.data(), count);
}

bool FileZeroProbe::ReadAhead(std::uint64_t position, std::uint64_t stop) {
    const std::size_t want = static_cast<std::size_t>(stop - position);
    buffer_.resize(std::max(buffer_.size(), want));
    bufferFrom_ = position;
    bufferBytes_ = 0;
    while (bufferBytes_ < want) {
        const ssize_t n = ::pread(fd_, buffer_.data() + bufferBytes_, want - bufferBytes_,
                                  static_cast<off_t>(position + bufferBytes_));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n == 0;  // the end of the file
        }
        bufferBytes_ += static_cast<std::size_t>(n);
    }
    return true;
}

void FileZeroProbe::Written(std::uint64_t position, const std::byte* data, std::size_t count) {
    const std::uint64_t end = position + count;
    // What lies outside the written stretch is unchanged.
    if (position <= zeroFrom_) {
        zeroFrom_ = std::max(zeroFrom_, end);
    } else {
        zeroTo_ = std::min(zeroTo_, position);
    }
    const std::uint64_t bufferEnd = bufferFrom_ + bufferBytes_;
    const std::uint64_t from = std::max(position, bufferFrom_);
    const std::uint64_t to = std::min(end, bufferEnd);
    if (from >= to) {
        return;
    }
    if (data == nullptr) {
        bufferBytes_ = 0;
        return;
    }
    std::memcpy(buffer_.data() + (from - bufferFrom_), data + (from - position),
                static_cast<std::size_t>(to - from));
}

}  // namespace quarnex
