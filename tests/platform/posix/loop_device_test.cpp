// The POSIX backend on a real block device: a loop device over a sparse file.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/media_sizes.hpp"
#include "device/device_io.hpp"
#include "support/loop_device.hpp"
#include "support/test_world.hpp"

namespace quarnex {
namespace {

using testing::TestWorld;

TEST(LoopDevice, BlocksReachTheBackingFileAfterClose) {
    TestWorld w;
    const std::string backing = w.dir / "disk.img";
    testing::MakeSparseFile(backing, 16 * 1024 * 1024);
    testing::LoopDevice loop(backing);
    if (!loop.Attached()) {
        GTEST_SKIP() << loop.Problem();
    }

    std::vector<std::byte> memory(2 * kTrackBytes);
    for (std::size_t i = 0; i < memory.size(); ++i) {
        memory[i] = static_cast<std::byte>(i * 7 + 3);
    }
    DevHandle out = GetHandle(w.ctx, loop.Path(), FILE_GENERIC_WRITE, FILE_SHARE_READ_WRITE,
                              OPEN_EXISTING, false);
    ASSERT_TRUE(out.Valid());
    EXPECT_TRUE(UnmountVolume(w.ctx, out)) << "an unmounted device dismounts at once";
    ASSERT_TRUE(fntWritePtr(w.ctx, out, memory, 0, kTrackBytes, kSlotStride, false));
    ASSERT_TRUE(fntWritePtr(w.ctx, out, memory, kTrackBytes, kTrackBytes, kCurrentPosition, false));
    ASSERT_TRUE(CloseDevHandle(w.ctx, out));

    // The flush on close put the blocks through the device onto the file.
    const std::vector<unsigned char> onFile =
        testing::ReadFileBytes(backing, kSlotStride, memory.size());
    ASSERT_EQ(onFile.size(), memory.size());
    EXPECT_EQ(std::memcmp(onFile.data(), memory.data(), memory.size()), 0);

    std::vector<std::byte> back(kTrackBytes);
    DevHandle in = GetHandle(w.ctx, loop.Path(), FILE_GENERIC_READ, FILE_SHARE_READ_WRITE,
                             OPEN_EXISTING, false);
    ASSERT_TRUE(fntReadPtr(w.ctx, in, back, 0, kTrackBytes, kSlotStride + kTrackBytes, false));
    EXPECT_EQ(std::memcmp(back.data(), memory.data() + kTrackBytes, kTrackBytes), 0);
    EXPECT_FALSE(IsFloppyGeometry(in)) << "16 MB is no floppy";
    // Past the device's end the read comes up short: a failure.
    EXPECT_FALSE(fntReadPtr(w.ctx, in, back, 0, kTrackBytes, 16 * 1024 * 1024 - 512, true));
    EXPECT_TRUE(CloseDevHandle(w.ctx, in));
    EXPECT_TRUE(w.ui.messages.empty());
}

}  // namespace
}  // namespace quarnex
