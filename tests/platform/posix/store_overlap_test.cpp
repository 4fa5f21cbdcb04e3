// One store under many names: a file, its links, a loop device over it and a
// file system mounted from it. Real loop devices and mounts where the machine
// allows them. (What reaches such a device: the terminal tool's loop-device test.)

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

struct LoopStore {
    LoopStore() { testing::MakeSparseFile(backing, 16 * 1024 * 1024); }
    testing::TempDir dir;
    const std::string backing = dir / "disk.img";
    PosixDeviceBackend backend;
};

// A lock taken through either name keeps out a writer that comes through the other.
TEST(LoopDevice, TheFileAndItsLoopDeviceShareOneLock) {
    LoopStore s;
    testing::LoopDevice loop{s.backing};
    if (!loop.Attached()) {
        GTEST_SKIP() << loop.Problem();
    }
    for (const auto& [held, other] :
         {std::pair{s.backing, loop.Path()}, std::pair{loop.Path(), s.backing}}) {
        SCOPED_TRACE(held);
        LockResult writer = s.backend.TryLock(held, LockKind::Exclusive);
        ASSERT_NE(writer.lock, nullptr);
        EXPECT_EQ(s.backend.TryLock(other, LockKind::Exclusive).error, EWOULDBLOCK);
        EXPECT_EQ(s.backend.TryLock(other, LockKind::Shared).error, EWOULDBLOCK);
        writer.lock.reset();
        LockResult reader = s.backend.TryLock(held, LockKind::Shared);
        ASSERT_NE(reader.lock, nullptr);
        EXPECT_NE(s.backend.TryLock(other, LockKind::Shared).lock, nullptr) << "readers share";
        EXPECT_EQ(s.backend.TryLock(other, LockKind::Exclusive).error, EWOULDBLOCK);
    }
}

TEST(StoreOverlap, EveryNameOfTheStoreAndEveryFileOnItIsFound) {
    LoopStore s;
    const testing::TempDir& dir = s.dir;
    const std::string& backing = s.backing;
    testing::WriteFileText(dir / "other.img", "x");
    ::link(backing.c_str(), (dir / "hard.img").c_str());
    ::symlink(backing.c_str(), (dir / "soft.img").c_str());
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
        EXPECT_EQ(s.backend.Overlap(output, store), expected) << output << " beside " << store;
    }
    if (mounted) {
        ::umount((dir / "mnt").c_str());
    }
}

}  // namespace
}  // namespace quarnex
