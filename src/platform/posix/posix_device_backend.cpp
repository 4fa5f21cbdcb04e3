#include "platform/posix/posix_device_backend.hpp"

#include <fcntl.h>
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

#include "platform/posix/fd_device_file.hpp"
#include "platform/posix/mount_table.hpp"
#include "platform/posix/replacement_file.hpp"
#include "platform/posix/store_overlap.hpp"

namespace quarnex {

namespace {

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
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

// A descriptor opened here; dismounting looks the device up in sysfs and the
// mount table.
class PosixDeviceFile final : public FdDeviceFile {
  public:
    PosixDeviceFile(int fd, std::string path, const PosixRoots& roots)
        : FdDeviceFile(fd, std::move(path)), roots_(roots) {}

    int Dismount() override {
        struct stat info {};
        if (::fstat(Fd(), &info) != 0) {
            return errno;
        }
        std::vector<dev_t> numbers;
        if (S_ISBLK(info.st_mode)) {
            numbers = DeviceAndPartitions(roots_, info.st_rdev);
        }
        const std::vector<MountEntry> mounts = ParseMountInfo(ReadWholeFile(roots_.mountInfo));
        // Newest mounts first, so that nested mounts go before their parents.
        for (auto it = mounts.rbegin(); it != mounts.rend(); ++it) {
            bool ours = NamesDeviceOrPartition(it->source, Path());
            for (dev_t number : numbers) {
                ours = ours || (major(number) == it->major && minor(number) == it->minor);
            }
            if (ours && ::umount2(it->mountPoint.c_str(), 0) != 0) {
                return errno;
            }
        }
        return 0;
    }

  private:
    const PosixRoots& roots_;
};

// The locks on every name of one store, released together.
class StoreLocks final : public StoreLock {
  public:
    explicit StoreLocks(std::vector<std::unique_ptr<StoreLock>> locks) : locks_(std::move(locks)) {}

  private:
    std::vector<std::unique_ptr<StoreLock>> locks_;
};

}  // namespace

PosixDeviceBackend::PosixDeviceBackend(PosixRoots roots) : roots_(std::move(roots)) {}

OpenResult PosixDeviceBackend::Open(const std::string& path, Access access,
                                    Disposition disposition) {
    if (disposition == Disposition::Replace && access != Access::Read) {
        return OpenReplacement(path, access);
    }
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
        const std::uint64_t bytes = DescriptorBytes(fd);
        ::close(fd);
        return LengthResult{bytes, 0, bytes};
    }
    if (S_ISDIR(info.st_mode)) {
        return LengthResult{std::nullopt, EISDIR};
    }
    return LengthResult{static_cast<std::uint64_t>(info.st_size), 0,
                        static_cast<std::uint64_t>(info.st_blocks) * 512};
}

OutputCheck PosixDeviceBackend::ExamineOutput(const std::string& path) {
    return ExamineOutputPath(path);
}

bool PosixDeviceBackend::FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string PosixDeviceBackend::ErrorText(int code) {
    const char* text = ::strerrordesc_np(code);
    return text == nullptr ? std::string() : std::string(text);
}

LockResult PosixDeviceBackend::TryLock(const std::string& path, LockKind kind) {
    // A file and a loop device over it are one store: every name is locked,
    // in one order, so two writers meet whichever name each was given.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return LockResult{nullptr, errno};
    }
    std::vector<std::unique_ptr<StoreLock>> held;
    for (const std::string& name : StoreNames(roots_, path)) {
        // The given name reuses its descriptor; another that this user
        // cannot open is skipped, the file every locker takes still meets.
        const int nameFd = name == path ? ::dup(fd) : ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
        if (nameFd < 0) {
            continue;
        }
        LockResult lock = LockDescriptor(nameFd, kind);
        if (!lock.lock) {
            ::close(fd);
            return lock;
        }
        held.push_back(std::move(lock.lock));
    }
    ::close(fd);
    return LockResult{std::make_unique<StoreLocks>(std::move(held)), 0};
}

StoreOverlap PosixDeviceBackend::Overlap(const std::string& path, const std::string& storePath) {
    return FindStoreOverlap(roots_, path, storePath);
}

}  // namespace quarnex
