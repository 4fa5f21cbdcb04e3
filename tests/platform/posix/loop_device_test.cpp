// The POSIX backend on a real block device: a loop device over a sparse file.

#include <gtest/gtest.h>

#include <vector>

#include "core/media_sizes.hpp"
#include "platform/posix/posix_device_backend.hpp"
#include "support/loop_device.hpp"
#include "support/temp_dir.hpp"

namespace quarnex {
namespace {

// A loop device over a sparse 16 MB file; skipped where none can be attached.
class LoopDevice : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!loop.Attached()) {
            GTEST_SKIP() << loop.Problem();
        }
    }

    testing::TempDir dir;
    const std::string backing = MakeBacking(dir / "disk.img");
    testing::LoopDevice loop{backing};

  private:
    static std::string MakeBacking(const std::string& path) {
        testing::MakeSparseFile(path, 16 * 1024 * 1024);
        return path;
    }
};

TEST_F(LoopDevice, BlocksReachTheBackingFileAfterTheFlush) {
    std::vector<unsigned char> memory(2 * kTrackBytes, 0x5A);
    memory.back() = 0xA5;
    PosixDeviceBackend backend;
    OpenResult out = backend.Open(loop.Path(), Access::ReadWrite, Disposition::OpenExisting);
    ASSERT_NE(out.file, nullptr);
    EXPECT_EQ(out.file->Dismount(), 0) << "an unmounted device dismounts at once";
    EXPECT_FALSE(out.file->HasFloppyGeometry()) << "16 MB is no floppy";
    ASSERT_EQ(out.file->Seek(kSlotStride), 0);
    const IoResult wrote =
        out.file->Write(reinterpret_cast<const std::byte*>(memory.data()), memory.size());
    EXPECT_EQ(wrote.bytes, memory.size());
    ASSERT_EQ(out.file->Flush(), 0);
    EXPECT_EQ(testing::ReadFileBytes(backing, kSlotStride, memory.size()), memory);
    // Past the device's end the read comes up short.
    std::vector<std::byte> back(kTrackBytes);
    ASSERT_EQ(out.file->Seek(16 * 1024 * 1024 - 512), 0);
    EXPECT_EQ(out.file->Read(back.data(), back.size()).bytes, 512u);
}

// A file and a loop device over it are one store: a lock taken through
// either name keeps out a writer that comes through the other.
TEST_F(LoopDevice, TheFileAndItsLoopDeviceShareOneLock) {
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
