#include "platform/posix/replacement_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <random>

#include "platform/posix/fd_device_file.hpp"

namespace quarnex {

namespace {

namespace fs = std::filesystem;

// Follows links to the path that a write would really reach; the path
// itself when it is not a link or the links go round.
std::string FinalTarget(const std::string& path) {
    fs::path current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current.string();
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n < 0) {
            return current.string();
        }
        link.resize(static_cast<std::size_t>(n));
        current = current.parent_path() / fs::path(link);
    }
    return path;
}

OutputKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) {
        return OutputKind::File;
    }
    if (S_ISDIR(mode)) {
        return OutputKind::Folder;
    }
    if (S_ISBLK(mode) || S_ISCHR(mode)) {
        return OutputKind::Device;
    }
    if (S_ISFIFO(mode)) {
        return OutputKind::Pipe;
    }
    return S_ISSOCK(mode) ? OutputKind::Socket : OutputKind::Other;
}

std::string FolderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

int FlushFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

class ReplacementFile final : public FdDeviceFile {
  public:
    ReplacementFile(int fd, std::string shownPath, std::string newPath, std::string target)
        : FdDeviceFile(fd, std::move(shownPath)),
          newPath_(std::move(newPath)),
          target_(std::move(target)) {}

    ~ReplacementFile() override {
        if (!committed_) {
            ::unlink(newPath_.c_str());
        }
    }

    int Dismount() override { return 0; }  // a new file: nothing is mounted from it

    int Commit() override {
        if (committed_) {
            return 0;
        }
        if (const int error = Flush(); error != 0) {
            return error;
        }
        if (const int error = KeepOwnerAndMode(); error != 0) {
            return error;
        }
        if (::rename(newPath_.c_str(), target_.c_str()) != 0) {
            return errno;
        }
        committed_ = true;
        return FlushFolder(FolderOf(target_));
    }

  private:
    int KeepOwnerAndMode() {
        struct stat old {};
        struct stat made {};
        if (::stat(target_.c_str(), &old) != 0 || ::fstat(Fd(), &made) != 0) {
            return 0;  // nothing to keep: the file is new
        }
        if ((old.st_uid != made.st_uid || old.st_gid != made.st_gid) &&
            ::fchown(Fd(), old.st_uid, old.st_gid) != 0) {
            return errno;
        }
        const mode_t mode = old.st_mode & 07777;
        if (mode != (made.st_mode & 07777) && ::fchmod(Fd(), mode) != 0) {
            return errno;
        }
        return 0;
    }

    std::string newPath_;
    std::string target_;
    bool committed_ = false;
};

// What a write to target (links already followed) would replace.
OutputCheck ExamineTarget(const std::string& target) {
    OutputCheck check;
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        check.kind = KindOf(info.st_mode);
        check.writable = ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
    }
    struct statvfs room {};
    if (::statvfs(FolderOf(target).c_str(), &room) == 0) {
        check.freeBytes = static_cast<std::uint64_t>(room.f_bavail) * room.f_frsize;
    } else {
        check.error = errno;
    }
    return check;
}

}  // namespace

OutputCheck ExamineOutputPath(const std::string& path) {
    return ExamineTarget(FinalTarget(path));
}

OpenResult OpenReplacement(const std::string& path, Access access) {
    const std::string target = FinalTarget(path);
    const OutputCheck check = ExamineTarget(target);
    if (check.kind == OutputKind::Folder) {
        return OpenResult{nullptr, EISDIR};
    }
    if (check.kind != OutputKind::Missing && check.kind != OutputKind::File) {
        return OpenResult{nullptr, EEXIST};
    }
    if (!check.writable) {
        return OpenResult{nullptr, EACCES};
    }
    const int flags = O_CREAT | O_EXCL | O_CLOEXEC | (access == Access::Write ? O_WRONLY : O_RDWR);
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Named after the output, so a kill that leaves it tells what it was.
        const std::string newPath =
            target + "." + std::to_string(random() % 1000000) + ".quarnex-part";
        const int fd = ::open(newPath.c_str(), flags, 0666);
        if (fd >= 0) {
            return OpenResult{std::make_unique<ReplacementFile>(fd, path, newPath, target), 0};
        }
        if (errno != EEXIST) {
            return OpenResult{nullptr, errno};
        }
    }
    return OpenResult{nullptr, EEXIST};
}

}  // namespace quarnex
