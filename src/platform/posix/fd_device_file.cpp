#include "platform/posix/fd_device_file.hpp"

#include <fcntl.h>
#include <linux/fd.h>
#include <linux/fs.h>
#include <linux/hdreg.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/media_sizes.hpp"

namespace quarnex {

namespace {

// Repeats a read or write until count bytes moved, the call fails (EINTR is
// retried) or it moves nothing, which ends with stalledError.
template <typename Call>
IoResult Transfer(std::size_t count, int stalledError, Call call) {
    IoResult result;
    while (result.bytes < count) {
        const ssize_t n = call(result.bytes);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            result.error = errno;
            break;
        }
        if (n == 0) {
            result.error = stalledError;
            break;
        }
        result.bytes += static_cast<std::size_t>(n);
    }
    return result;
}

std::uint64_t BytesOf(int fd, const struct stat& info) {
    if (S_ISBLK(info.st_mode)) {
        std::uint64_t bytes = 0;
        return ioctl(fd, BLKGETSIZE64, &bytes) == 0 ? bytes : 0;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

// flock(2) on a descriptor of its own: the lock lives exactly as long as it.
class DescriptorLock final : public StoreLock {
  public:
    explicit DescriptorLock(int fd) : fd_(fd) {}
    ~DescriptorLock() override { ::close(fd_); }

  private:
    int fd_;
};

}  // namespace

FdDeviceFile::FdDeviceFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

FdDeviceFile::~FdDeviceFile() {
    ::close(fd_);
}

int FdDeviceFile::Seek(std::uint64_t position) {
    const off_t target = static_cast<off_t>(position);
    return ::lseek(fd_, target, SEEK_SET) == target ? 0 : errno;
}

IoResult FdDeviceFile::Read(std::byte* destination, std::size_t count) {
    // A read of nothing is the end of the file or device: a short result.
    return Transfer(
        count, 0, [&](std::size_t done) { return ::read(fd_, destination + done, count - done); });
}

IoResult FdDeviceFile::Write(const std::byte* source, std::size_t count) {
    // A write of nothing means the medium took no more.
    return Transfer(count, ENOSPC,
                    [&](std::size_t done) { return ::write(fd_, source + done, count - done); });
}

int FdDeviceFile::Flush() {
    struct stat info {};
    const bool known = ::fstat(fd_, &info) == 0;
    if (known && S_ISCHR(info.st_mode)) {
        return 0;  // character devices keep no cache to flush
    }
    // fdatasync: the data and what is needed to read it back (the size),
    // without a journal commit for the times alone.
    if (::fdatasync(fd_) == 0) {
        return 0;
    }
    const int error = errno;
    // Pipes, FIFOs and sockets cannot be synced: every byte written has
    // already gone to the reader.
    const bool unsyncable = error == EINVAL || error == ENOTSUP;
    return unsyncable && known && !S_ISREG(info.st_mode) && !S_ISBLK(info.st_mode) ? 0 : error;
}

int FdDeviceFile::ForgetCached(std::uint64_t offset, std::uint64_t length) {
    struct stat info {};
    if (::fstat(fd_, &info) == 0 && !S_ISREG(info.st_mode) && !S_ISBLK(info.st_mode)) {
        return 0;  // no page cache in between
    }
    // Clean pages only go; the caller has flushed, so all of the range does.
    return ::posix_fadvise(fd_, static_cast<off_t>(offset), static_cast<off_t>(length),
                           POSIX_FADV_DONTNEED);
}

bool FdDeviceFile::HasFloppyGeometry() {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        return false;
    }
    if (S_ISBLK(info.st_mode)) {
        int sectorSize = 0;
        if (ioctl(fd_, BLKSSZGET, &sectorSize) != 0 ||
            sectorSize != static_cast<int>(kSectorBytes)) {
            return false;
        }
        struct floppy_struct floppy {};
        if (ioctl(fd_, FDGETPRM, &floppy) == 0) {
            return floppy.track == 80 && floppy.head == 2 && floppy.sect == 18;
        }
        struct hd_geometry geometry {};
        if (ioctl(fd_, HDIO_GETGEO, &geometry) == 0 && geometry.cylinders == 80 &&
            geometry.heads == 2 && geometry.sectors == 18) {
            return true;
        }
    }
    // USB floppy drives and image files: the size of a 1.44 MB disk.
    return (S_ISBLK(info.st_mode) || S_ISREG(info.st_mode)) && BytesOf(fd_, info) == kImageBytes;
}

std::uint64_t DescriptorBytes(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 ? BytesOf(fd, info) : 0;
}

LockResult LockDescriptor(int fd, LockKind kind) {
    if (::flock(fd, (kind == LockKind::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        const int error = errno == EAGAIN ? EWOULDBLOCK : errno;
        ::close(fd);
        return LockResult{nullptr, error};
    }
    return LockResult{std::make_unique<DescriptorLock>(fd), 0};
}

}  // namespace quarnex
