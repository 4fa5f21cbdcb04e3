#include "platform/posix/store_overlap.hpp"

#include <fcntl.h>
#include <linux/loop.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/posix/sysfs_block.hpp"

namespace quarnex {

namespace {

namespace fs = std::filesystem;

struct FileId {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileId&) const = default;
};

std::string FirstLine(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string NumberDir(const PosixRoots& roots, dev_t device) {
    return roots.sysRoot + "/dev/block/" + std::to_string(major(device)) + ":" +
           std::to_string(minor(device));
}

template <typename T>
bool Contains(const std::vector<T>& values, const T& value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

// The files a loop device reads: the kernel's own record of the backing
// inode (it survives a rename or a deleted name), and the path sysfs shows.
std::vector<FileId> LoopBacking(const PosixRoots& roots, dev_t device, const std::string& node) {
    std::vector<FileId> ids;
    const int fd = ::open(node.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        struct loop_info64 info {};
        if (::ioctl(fd, LOOP_GET_STATUS64, &info) == 0) {
            ids.push_back(
                FileId{static_cast<dev_t>(info.lo_device), static_cast<ino_t>(info.lo_inode)});
        }
        ::close(fd);
    }
    const std::string backing = FirstLine(NumberDir(roots, device) + "/loop/backing_file");
    struct stat info {};
    if (!backing.empty() && ::stat(backing.c_str(), &info) == 0) {
        ids.push_back(FileId{info.st_dev, info.st_ino});
    }
    return ids;
}

struct LoopDevice {
    std::string node;
    dev_t number = 0;
    bool operator<(const LoopDevice& other) const { return node < other.node; }
};

// The loop devices whose backing file is file, by name.
std::vector<LoopDevice> LoopsOver(const PosixRoots& roots, const FileId& file) {
    std::vector<LoopDevice> loops;
    const SysfsBlock sysfs(roots.sysRoot);
    for (const std::string& loop : sysfs.LoopDevices()) {
        const std::optional<DevNumber> number = sysfs.Number(loop);
        if (!number) {
            continue;
        }
        const LoopDevice device{roots.devRoot + "/" + loop, makedev(number->major, number->minor)};
        if (Contains(LoopBacking(roots, device.number, device.node), file)) {
            loops.push_back(device);
        }
    }
    std::sort(loops.begin(), loops.end());
    return loops;
}

// What a store occupies: the files it is (its own file, or the backing file
// of its loop device), and the block devices that show it (its device and
// partitions, or the loop devices over its file and their partitions).
struct StoreExtent {
    std::vector<FileId> files;
    std::vector<dev_t> devices;
};

StoreExtent ExtentOf(const PosixRoots& roots, const std::string& storePath,
                     const struct stat& store) {
    StoreExtent extent;
    if (S_ISBLK(store.st_mode)) {
        extent.devices = DeviceAndPartitions(roots, store.st_rdev);
        extent.files = LoopBacking(roots, store.st_rdev, storePath);
        return extent;
    }
    extent.files.push_back(FileId{store.st_dev, store.st_ino});
    for (const LoopDevice& loop : LoopsOver(roots, extent.files.front())) {
        const std::vector<dev_t> shown = DeviceAndPartitions(roots, loop.number);
        extent.devices.insert(extent.devices.end(), shown.begin(), shown.end());
    }
    return extent;
}

}  // namespace

std::vector<std::string> StoreNames(const PosixRoots& roots, const std::string& storePath) {
    struct stat store {};
    if (::stat(storePath.c_str(), &store) != 0) {
        return {storePath};
    }
    std::string file = storePath;
    if (S_ISBLK(store.st_mode)) {
        file = FirstLine(NumberDir(roots, store.st_rdev) + "/loop/backing_file");
        struct stat backing {};
        if (file.empty() || ::stat(file.c_str(), &backing) != 0 ||
            !Contains(LoopBacking(roots, store.st_rdev, storePath),
                      FileId{backing.st_dev, backing.st_ino})) {
            return {storePath};  // no loop device, or its file is gone
        }
        store = backing;
    }
    std::vector<std::string> names{file};
    for (const LoopDevice& loop : LoopsOver(roots, FileId{store.st_dev, store.st_ino})) {
        names.push_back(loop.node);
    }
    return names;
}

std::vector<dev_t> DeviceAndPartitions(const PosixRoots& roots, dev_t device) {
    std::vector<dev_t> numbers{device};
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(NumberDir(roots, device), ec)) {
        if (!fs::exists(entry.path() / "partition", ec)) {
            continue;
        }
        unsigned maj = 0;
        unsigned min = 0;
        char colon = 0;
        std::istringstream dev(FirstLine(entry.path() / "dev"));
        if (dev >> maj >> colon >> min && colon == ':') {
            numbers.push_back(makedev(maj, min));
        }
    }
    return numbers;
}

StoreOverlap FindStoreOverlap(const PosixRoots& roots, const std::string& path,
                              const std::string& storePath) {
    struct stat store {};
    if (::stat(storePath.c_str(), &store) != 0) {
        return StoreOverlap::None;
    }
    const StoreExtent extent = ExtentOf(roots, storePath, store);
    struct stat out {};
    if (::stat(path.c_str(), &out) == 0) {
        const FileId id{out.st_dev, out.st_ino};
        if (id == FileId{store.st_dev, store.st_ino}) {
            return StoreOverlap::SameFile;
        }
        if (S_ISBLK(out.st_mode) && Contains(extent.devices, out.st_rdev)) {
            return StoreOverlap::SameDevice;
        }
        if (!S_ISBLK(out.st_mode) && Contains(extent.files, id)) {
            return S_ISBLK(store.st_mode) ? StoreOverlap::BackingFile : StoreOverlap::SameFile;
        }
    } else {
        // A new file: the folder it would be made in decides.
        fs::path folder = fs::absolute(fs::path(path)).parent_path();
        while (::stat(folder.c_str(), &out) != 0 && folder.has_relative_path()) {
            folder = folder.parent_path();
        }
    }
    return Contains(extent.devices, out.st_dev) ? StoreOverlap::OnStore : StoreOverlap::None;
}

}  // namespace quarnex
