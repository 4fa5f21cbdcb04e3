// The store lock on a real block device: a loop device over a sparse file.
// (What reaches such a device is the terminal tool's loop-device test.)

#include <gtest/gtest.h>

#include "platform/posix/posix_device_backend.hpp"
#include "support/loop_device.hpp"
#include "support/temp_dir.hpp"

namespace quarnex {
namespace {

// A file and a loop device over it are one store: a lock taken through
// either name keeps out a writer that comes through the other.
TEST(LoopDevice, TheFileAndItsLoopDeviceShareOneLock) {
    testing::TempDir dir;
    const std::string backing = dir / "disk.img";
    testing::MakeSparseFile(backing, 16 * 1024 * 1024);
    testing::LoopDevice loop{backing};
    if (!loop.Attached()) {
        GTEST_SKIP() << loop.Problem();
    }
    PosixDeviceBackend backend;
    for (const auto& [held, other] :
         {std::pair{backing, loop.Path()}, std::pair{loop.Path(), backing}}) {
        SCOPED_TRACE(held);
        LockResult writer = backend.TryLock(held, true);
        ASSERT_NE(writer.lock, nullptr);
        EXPECT_EQ(backend.TryLock(other, true).error, EWOULDBLOCK);
        EXPECT_EQ(backend.TryLock(other, false).error, EWOULDBLOCK);
        writer.lock.reset();
        LockResult reader = backend.TryLock(held, false);
        ASSERT_NE(reader.lock, nullptr);
        EXPECT_NE(backend.TryLock(other, false).lock, nullptr) << "readers share";
        EXPECT_EQ(backend.TryLock(other, true).error, EWOULDBLOCK);
    }
}

}  // namespace
}  // namespace quarnex
