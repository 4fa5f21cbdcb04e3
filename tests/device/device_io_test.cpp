#include "device/device_io.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/media_sizes.hpp"
#include "support/test_world.hpp"

namespace quarnex {
namespace {

using testing::Fault;
using testing::FaultOp;

// A sparse file of the given size behind the fault-injecting backend.
struct IoWorld : testing::TestWorld {
    explicit IoWorld(std::uint64_t size = 4096) { testing::MakeSparseFile(path, size); }
    DevHandle Open(Access access, Disposition disposition = Disposition::OpenExisting) {
        return OpenDevice(devices, path, access, disposition).handle;
    }
    std::string path = dir / "dev.img";
};

TEST(OpenDevice, DispositionsAndAFailedOpen) {
    IoWorld w;
    w.devices.Inject(Fault{FaultOp::Open, 1, "dev.img", EIO, 0});
    OpenedDevice failed = OpenDevice(w.devices, w.path, Access::Read, Disposition::OpenExisting);
    EXPECT_FALSE(failed.handle.Valid());
    EXPECT_FALSE(failed.status.ok);

    w.path = w.dir / "new.img";
    DevHandle created = w.Open(Access::Write, Disposition::CreateNew);
    EXPECT_TRUE(CloseDevice(created).ok);
    EXPECT_FALSE(w.Open(Access::Write, Disposition::CreateNew).Valid())
        << "never over an existing file";
    testing::WriteFileText(w.path, "old content");
    DevHandle existing = w.Open(Access::Write);
    EXPECT_TRUE(CloseDevice(existing).ok);
    EXPECT_EQ(testing::ReadFileText(w.path), "old content") << "opening an existing file keeps it";
    DevHandle dropped = w.Open(Access::Write, Disposition::Replace);
    EXPECT_TRUE(CloseDevice(dropped).ok);
    EXPECT_EQ(testing::ReadFileText(w.path), "old content") << "replaced only once committed";
    DevHandle replaced = w.Open(Access::Write, Disposition::Replace);
    EXPECT_TRUE(CommitDevice(replaced).ok);
    EXPECT_EQ(testing::FileSize(w.path), 0u);
}

TEST(Transfers, PositionedAndSequentialBlocksStayInsideTheCallersMemory) {
    IoWorld w(8 * kTrackBytes);
    std::vector<std::byte> memory(3 * kTrackBytes);
    std::vector<unsigned char> pattern(memory.size());
    for (std::size_t i = 0; i < memory.size(); ++i) {
        pattern[i] = static_cast<unsigned char>((i * 31 + 7) & 0xFF);
        memory[i] = std::byte{pattern[i]};
    }
    DevHandle out = w.Open(Access::Write);
    EXPECT_TRUE(DeviceWritePtr(out, memory, 0, kTrackBytes, 2 * kTrackBytes).ok);
    EXPECT_TRUE(DeviceWritePtr(out, memory, kTrackBytes, 2 * kTrackBytes, kCurrentPosition).ok);
    EXPECT_TRUE(CloseDevice(out).ok);
    EXPECT_EQ(w.devices.Count(FaultOp::Seek), 1) << "sequential blocks need no positioning";
    pattern.insert(pattern.begin(), 2 * kTrackBytes, 0);
    EXPECT_EQ(testing::ReadFileBytes(w.path, 0, 5 * kTrackBytes), pattern);

    std::vector<std::byte> back(2 * kTrackBytes);
    DevHandle in = w.Open(Access::Read);
    ASSERT_TRUE(DeviceReadPtr(in, back, 0, kTrackBytes, 3 * kTrackBytes).ok);
    ASSERT_TRUE(DeviceRead(in, back, kTrackBytes, kTrackBytes, kCurrentPosition).ok);
    EXPECT_EQ(std::memcmp(back.data(), pattern.data() + 3 * kTrackBytes, 2 * kTrackBytes), 0);
    EXPECT_FALSE(DeviceReadPtr(in, back, kTrackBytes + 512, kTrackBytes, 0).ok);
    EXPECT_FALSE(DeviceRead(in, back, 2 * kTrackBytes + 1, 0, 0).ok);
    EXPECT_EQ(w.devices.Count(FaultOp::Read), 2) << "nothing moves outside the memory";
}

// A failed flush is a reported-I/O case; here only who flushes.
TEST(CloseDevice, FlushesOnlyWriters) {
    IoWorld w;
    DevHandle none, reader = w.Open(Access::Read);
    EXPECT_TRUE(CloseDevice(none).ok && CloseDevice(reader).ok);
    EXPECT_EQ(w.devices.Count(FaultOp::Flush), 0) << "read handles need no flush";
}

TEST(IsFloppyGeometry, OnlyTheSizeOfA144MbDisk) {
    for (std::uint64_t size : {kImageBytes - 1, std::uint64_t{737280}, kStoreBytes, kImageBytes}) {
        IoWorld w(size);
        DevHandle h = w.Open(Access::Read);
        EXPECT_EQ(IsFloppyGeometry(h), size == kImageBytes) << size;
    }
    DevHandle none;
    EXPECT_FALSE(IsFloppyGeometry(none));
}

}  // namespace
}  // namespace quarnex
