// Which files overlap a store: under any name, through a loop device, or on
// a file system mounted from it. Real loop devices and mounts where the
// machine allows them.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <tuple>
#include <vector>

#include "platform/posix/posix_device_backend.hpp"
#include "support/loop_device.hpp"
#include "support/temp_dir.hpp"

namespace quarnex {
namespace {

using enum StoreOverlap;

TEST(StoreOverlap, EveryNameOfTheStoreAndEveryFileOnItIsFound) {
    testing::TempDir dir;
    const std::string backing = dir / "disk.img";
    testing::MakeSparseFile(backing, 16 * 1024 * 1024);
    testing::WriteFileText(dir / "other.img", "x");
    ::link(backing.c_str(), (dir / "hard.img").c_str());
    ::symlink(backing.c_str(), (dir / "soft.img").c_str());
    PosixDeviceBackend backend;
    // (output, store, expected)
    std::vector<std::tuple<std::string, std::string, StoreOverlap>> cases{
        {backing, backing, SameFile},          {dir / "hard.img", backing, SameFile},
        {dir / "soft.img", backing, SameFile}, {dir / "other.img", backing, None},
        {dir / "new.img", backing, None},      {dir / "new.img", dir / "missing.img", None}};
    testing::LoopDevice loop(backing);
    bool mounted = false;
    if (loop.Attached()) {
        // A second node of the loop device, and a file system on it.
        struct stat node {};
        ::stat(loop.Path().c_str(), &node);
        ::mknod((dir / "alias").c_str(), S_IFBLK | 0600, node.st_rdev);
        ::mkdir((dir / "mnt").c_str(), 0755);
        mounted = std::system(("mkfs.ext2 -q " + loop.Path() + " 2>/dev/null").c_str()) == 0 &&
                  ::mount(loop.Path().c_str(), (dir / "mnt").c_str(), "ext2", 0, nullptr) == 0;
        cases.insert(cases.end(), {{loop.Path(), backing, SameDevice},
                                   {dir / "alias", backing, SameDevice},
                                   {dir / "alias", loop.Path(), SameDevice},
                                   {backing, loop.Path(), BackingFile},
                                   {dir / "hard.img", loop.Path(), BackingFile}});
        if (mounted) {
            testing::WriteFileText(dir / "mnt/there.img", "x");
            cases.insert(cases.end(), {{dir / "mnt/there.img", loop.Path(), OnStore},
                                       {dir / "mnt/new.img", backing, OnStore}});
        }
    }
    std::printf("checked %zu cases%s\n", cases.size(), mounted ? "" : " (no loop or no mount)");
    for (const auto& [output, store, expected] : cases) {
        EXPECT_EQ(backend.Overlap(output, store), expected) << output << " beside " << store;
    }
    if (mounted) {
        ::umount((dir / "mnt").c_str());
    }
}

}  // namespace
}  // namespace quarnex
