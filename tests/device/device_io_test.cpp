#include "device/device_io.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
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
    DevHandle Open(std::uint32_t access, std::uint32_t disposition = OPEN_EXISTING) {
        return OpenDevice(devices, path, access, disposition).handle;
    }
    std::string path = dir / "dev.img";
};

void ExpectFailure(const IoStatus& status, int error, const std::string& source,
                   const std::string& description) {
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.error, error);
    EXPECT_EQ(std::string(status.source), source);
    EXPECT_EQ(status.description, description);
}

TEST(OpenDevice, DispositionsAndTheFailureNamingThePath) {
    IoWorld w;
    w.devices.Inject(Fault{FaultOp::Open, 1, "dev.img", EIO, 0});
    OpenedDevice failed = OpenDevice(w.devices, w.path, FILE_GENERIC_READ, OPEN_EXISTING);
    EXPECT_FALSE(failed.handle.Valid());
    ExpectFailure(failed.status, EIO, "GetHandle",
                  "An error occurred when attempting to get a handle for " + w.path);

    w.path = w.dir / "new.img";
    DevHandle created = w.Open(FILE_GENERIC_WRITE, CREATE_NEW);
    EXPECT_TRUE(CloseDevice(created).ok);
    EXPECT_FALSE(w.Open(FILE_GENERIC_WRITE, CREATE_NEW).Valid()) << "never over an existing file";
    testing::WriteFileText(w.path, "old content");
    DevHandle existing = w.Open(FILE_GENERIC_WRITE);
    EXPECT_TRUE(CloseDevice(existing).ok);
    EXPECT_EQ(testing::ReadFileText(w.path), "old content") << "OPEN_EXISTING keeps it";
    DevHandle replaced = w.Open(FILE_GENERIC_WRITE, CREATE_ALWAYS);
    EXPECT_TRUE(CloseDevice(replaced).ok);
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
    DevHandle out = w.Open(FILE_GENERIC_WRITE);
    EXPECT_TRUE(DeviceWritePtr(out, memory, 0, kTrackBytes, 2 * kTrackBytes).ok);
    EXPECT_TRUE(DeviceWritePtr(out, memory, kTrackBytes, 2 * kTrackBytes, kCurrentPosition).ok);
    EXPECT_TRUE(CloseDevice(out).ok);
    EXPECT_EQ(w.devices.Count(FaultOp::Seek), 1) << "sequential blocks need no positioning";
    pattern.insert(pattern.begin(), 2 * kTrackBytes, 0);
    EXPECT_EQ(testing::ReadFileBytes(w.path, 0, 5 * kTrackBytes), pattern);

    std::vector<std::byte> back(2 * kTrackBytes);
    DevHandle in = w.Open(FILE_GENERIC_READ);
    ASSERT_TRUE(DeviceReadPtr(in, back, 0, kTrackBytes, 3 * kTrackBytes).ok);
    ASSERT_TRUE(DeviceRead(in, back, kTrackBytes, kTrackBytes, kCurrentPosition).ok);
    EXPECT_EQ(std::memcmp(back.data(), pattern.data() + 3 * kTrackBytes, 2 * kTrackBytes), 0);
    EXPECT_FALSE(DeviceReadPtr(in, back, kTrackBytes + 512, kTrackBytes, 0).ok);
    EXPECT_FALSE(DeviceRead(in, back, 2 * kTrackBytes + 1, 0, 0).ok);
    EXPECT_EQ(w.devices.Count(FaultOp::Read), 2) << "nothing moves outside the memory";
}

// Each transfer's failures carry its own tags; a short transfer fails too.
TEST(Transfers, EveryFailureNamesItsStep) {
    using Step = std::function<IoStatus(DevHandle&, std::vector<std::byte>&)>;
    const Step read = [](DevHandle& h, auto& m) { return DeviceRead(h, m, 0, m.size(), 0); };
    const Step readPtr = [](DevHandle& h, auto& m) { return DeviceReadPtr(h, m, 0, m.size(), 0); };
    const Step write = [](DevHandle& h, auto& m) { return DeviceWritePtr(h, m, 0, m.size(), 512); };
    struct Row {
        Step step;
        Fault fault;
        int error;
        std::string source, description;
    };
    const std::string at = "An error occurred when attempting to ", seek = at + "SetFilePointer().";
    const Row rows[] = {
        {read, {FaultOp::Read, 1, "", 0, 100}, EIO, "QrnMfntRead.ReadFile", at + "Read."},
        {read, {FaultOp::Seek, 1, "", EINVAL, 0}, EINVAL, "QrnMfntRead.SetFilePointer", seek},
        {readPtr, {FaultOp::Read, 1, "", EIO, 0}, EIO, "QrnMfntReadPtr.ReadFile", at + "Read"},
        {readPtr, {FaultOp::Seek, 1, "", EIO, 0}, EIO, "QrnMfntReadPtr.SetFilePointer", seek},
        {write, {FaultOp::Write, 1, "", 0, 9}, ENOSPC, "QrnMfntWritePtr.WriteFile", at + "Write"},
        {write, {FaultOp::Seek, 1, "", EIO, 0}, EIO, "QrnMfntWritePtr.SetFilePointer", seek},
    };
    for (const Row& row : rows) {
        IoWorld w;
        std::vector<std::byte> memory(1024);
        DevHandle h = w.Open(FILE_GENERIC_READ_WRITE);
        w.devices.Inject(row.fault);
        ExpectFailure(row.step(h, memory), row.error, row.source, row.description);
        EXPECT_EQ(w.devices.Count(FaultOp::Read) + w.devices.Count(FaultOp::Write),
                  row.fault.op == FaultOp::Seek ? 0 : 1)
            << row.source << ": no transfer after a failed seek";
        EXPECT_TRUE(h.Valid()) << "a failure leaves the handle open";
        if (row.fault.op != FaultOp::Seek) {  // without a handle the transfer step fails
            DevHandle none;
            ExpectFailure(row.step(none, memory), EBADF, row.source, row.description);
        }
    }
}

TEST(CloseDevice, FlushesOnlyWritersAndNamesAFailedFlush) {
    IoWorld w;
    DevHandle none;
    EXPECT_TRUE(CloseDevice(none).ok);
    DevHandle reader = w.Open(FILE_GENERIC_READ);
    EXPECT_TRUE(CloseDevice(reader).ok);
    EXPECT_EQ(w.devices.Count(FaultOp::Flush), 0) << "read handles need no flush";
    w.devices.Inject(Fault{FaultOp::Flush, 1, "", EIO, 0});
    DevHandle failing = w.Open(FILE_GENERIC_WRITE);
    ExpectFailure(CloseDevice(failing), EIO, "CloseDevHandle.Flush",
                  "An error occurred when attempting to write the data to " + w.path);
    EXPECT_FALSE(failing.Valid());
    EXPECT_EQ(w.devices.OpenHandles(), 0);
}

TEST(DismountDevice, NotMountedSucceedsAFailureIsNamed) {
    IoWorld w;
    DevHandle h = w.Open(FILE_GENERIC_WRITE);
    EXPECT_TRUE(DismountDevice(h).ok);
    w.devices.Inject(Fault{FaultOp::Dismount, 1, "", EBUSY, 0});
    ExpectFailure(DismountDevice(h), EBUSY, "UnmountVolume",
                  "An error occurred when attempting to dismount the volume.");
}

TEST(IsFloppyGeometry, OnlyTheSizeOfA144MbDisk) {
    for (std::uint64_t size : {kImageBytes - 1, std::uint64_t{737280}, kStoreBytes, kImageBytes}) {
        IoWorld w(size);
        DevHandle h = w.Open(FILE_GENERIC_READ);
        EXPECT_EQ(IsFloppyGeometry(h), size == kImageBytes) << size;
    }
    DevHandle none;
    EXPECT_FALSE(IsFloppyGeometry(none));
    EXPECT_EQ(CtlCode(0x2D, 0x420, 0, 0), 0x2D1080u);
    EXPECT_EQ(CtlCode(9, 8, 0, 0), 0x90020u);
}

}  // namespace
}  // namespace quarnex
