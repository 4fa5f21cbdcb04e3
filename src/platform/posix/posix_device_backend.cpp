#include "platform/posix/posix_device_backend.hpp"

#include <fcntl.h>
#include <linux/fd.h>
#include <linux/fs.h>
#include <linux/hdreg.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/media_sizes.hpp"
#include "platform/posix/mount_table.hpp"
#include "platform/posix/store_overlap.hpp"

namespace quarnex {

namespace {

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::uint64_t DeviceBytes(int fd, const struct stat& info) {
    if (S_ISBLK(info.st_mode)) {
        std::uint64_t bytes = 0;
        return ioctl(fd, BLKGETSIZE64, &bytes) == 0 ? bytes : 0;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

// A mount source names the device itself or one of its partitions
// ("/dev/sdb1", "/dev/mmcblk0p1").
bool NamesDeviceOrPartition(const std::string& source, const std::string& devicePath) {
    if (source.compare(0, devicePath.size(), devicePath) != 0) {
        return false;
    }
    std::string_view rest(source);
    rest.remove_prefix(devicePath.size());
    if (!rest.empty() && rest.front() == 'p') {
        rest.remove_prefix(1);
        if (rest.empty()) {
            return false;
        }
    }
    for (char c : rest) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

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

class PosixDeviceFile final : public DeviceFile {
  public:
    PosixDeviceFile(int fd, std::string path, const PosixRoots& roots)
        : fd_(fd), path_(std::move(path)), roots_(roots) {}
    ~PosixDeviceFile() override { ::close(fd_); }

    int Seek(std::uint64_t position) override {
        const off_t target = static_cast<off_t>(position);
        return ::lseek(fd_, target, SEEK_SET) == target ? 0 : errno;
    }

    IoResult Read(std::byte* destination, std::size_t count) override {
        // A read of nothing is the end of the file or device: a short result.
        return Transfer(count, 0, [&](std::size_t done) {
            return ::read(fd_, destination + done, count - done);
        });
    }

    IoResult Write(const std::byte* source, std::size_t count) override {
        // A write of nothing means the medium took no more.
        return Transfer(count, ENOSPC, [&](std::size_t done) {
            return ::write(fd_, source + done, count - done);
        });
    }

    int Flush() override {
        struct stat info {};
        const bool known = ::fstat(fd_, &info) == 0;
        if (known && S_ISCHR(info.st_mode)) {
            return 0;  // character devices keep no cache to flush
        }
        if (::fsync(fd_) == 0) {
            return 0;
        }
        const int error = errno;
        // Pipes, FIFOs and sockets cannot be synced: every byte written has
        // already gone to the reader.
        const bool unsyncable = error == EINVAL || error == ENOTSUP;
        return unsyncable && known && !S_ISREG(info.st_mode) && !S_ISBLK(info.st_mode) ? 0 : error;
    }

    int Dismount() override {
        struct stat info {};
        if (::fstat(fd_, &info) != 0) {
            return errno;
        }
        std::vector<dev_t> numbers;
        if (S_ISBLK(info.st_mode)) {
            numbers = DeviceAndPartitions(roots_, info.st_rdev);
        }
        const std::vector<MountEntry> mounts = ParseMountInfo(ReadWholeFile(roots_.mountInfo));
        // Newest mounts first, so that nested mounts go before their parents.
        for (auto it = mounts.rbegin(); it != mounts.rend(); ++it) {
            bool ours = NamesDeviceOrPartition(it->source, path_);
            for (dev_t number : numbers) {
                ours = ours || (major(number) == it->major && minor(number) == it->minor);
            }
            if (ours && ::umount2(it->mountPoint.c_str(), 0) != 0) {
                return errno;
            }
        }
        return 0;
    }

    bool HasFloppyGeometry() override {
        struct stat info {};
        if (::fstat(fd_, &info) != 0) {
            return false;
        }
        if (S_ISBLK(info.st_mode)) {
            int sectorSize = 0;
            if (ioctl(fd_, BLKSSZGET, &sectorSize) != 0 || sectorSize != 512) {
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
        return (S_ISBLK(info.st_mode) || S_ISREG(info.st_mode)) &&
               DeviceBytes(fd_, info) == kImageBytes;
    }

    const std::string& Path() const override { return path_; }

  private:
    int fd_;
    std::string path_;
    const PosixRoots& roots_;
};

}  // namespace

PosixDeviceBackend::PosixDeviceBackend(PosixRoots roots) : roots_(std::move(roots)) {}

OpenResult PosixDeviceBackend::Open(const std::string& path, Access access,
                                    Disposition disposition) {
    int flags = O_CLOEXEC;
    switch (access) {
        case Access::Read:
            flags |= O_RDONLY;
            break;
        case Access::Write:
            flags |= O_WRONLY;
            break;
        case Access::ReadWrite:
            flags |= O_RDWR;
            break;
    }
    if (disposition == Disposition::CreateNew) {
        flags |= O_CREAT | O_EXCL;
    } else if (disposition == Disposition::CreateAlways) {
        flags |= O_CREAT | O_TRUNC;
    }
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) {
        return OpenResult{nullptr, errno};
    }
    return OpenResult{std::make_unique<PosixDeviceFile>(fd, path, roots_), 0};
}

LengthResult PosixDeviceBackend::FileLength(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return LengthResult{std::nullopt, errno};
    }
    if (S_ISBLK(info.st_mode)) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return LengthResult{std::nullopt, errno};
        }
        const std::uint64_t bytes = DeviceBytes(fd, info);
        ::close(fd);
        return LengthResult{bytes, 0};
    }
    if (S_ISDIR(info.st_mode)) {
        return LengthResult{std::nullopt, EISDIR};
    }
    return LengthResult{static_cast<std::uint64_t>(info.st_size), 0};
}

bool PosixDeviceBackend::FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string PosixDeviceBackend::ErrorText(int code) {
    const char* text = ::strerrordesc_np(code);
    return text == nullptr ? std::string() : std::string(text);
}

namespace {

// flock(2) on a descriptor of its own: the lock lives exactly as long as it.
class PosixStoreLock final : public StoreLock {
  public:
    explicit PosixStoreLock(int fd) : fd_(fd) {}
    ~PosixStoreLock() override { ::close(fd_); }

  private:
    int fd_;
};

}  // namespace

LockResult PosixDeviceBackend::TryLock(const std::string& path, bool exclusive) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return LockResult{nullptr, errno};
    }
    if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        const int error = errno == EAGAIN ? EWOULDBLOCK : errno;
        ::close(fd);
        return LockResult{nullptr, error};
    }
    return LockResult{std::make_unique<PosixStoreLock>(fd), 0};
}

StoreOverlap PosixDeviceBackend::Overlap(const std::string& path, const std::string& storePath) {
    return FindStoreOverlap(roots_, path, storePath);
}

}  // namespace quarnex
