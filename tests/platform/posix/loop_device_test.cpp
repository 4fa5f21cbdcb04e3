// The POSIX backend on a real block device: a loop device over a sparse file.

#include <gtest/gtest.h>

#include <vector>

#include "core/media_sizes.hpp"
#include "platform/posix/posix_device_backend.hpp"
#include "support/loop_device.hpp"
#include "support/temp_dir.hpp"

namespace quarnex {
namespace {

TEST(LoopDevice, BlocksReachTheBackingFileAfterTheFlush) {
    testing::TempDir dir;
    const std::string backing = dir / "disk.img";
    testing::MakeSparseFile(backing, 16 * 1024 * 1024);
    testing::LoopDevice loop(backing);
    if (!loop.Attached()) {
        GTEST_SKIP() << loop.Problem();
    }
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

}  // namespace
}  // namespace quarnex
