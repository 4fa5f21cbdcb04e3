// Files written through the sparse backend hold exactly the bytes written,
// at their full length, while zeros they already hold are not written again.

#include "platform/posix/sparse_file_backend.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/posix/posix_device_backend.hpp"
#include "support/fault_injecting_backend.hpp"
#include "support/temp_dir.hpp"

namespace quarnex::testing {
namespace {

using quarnex::kSparsePieceBytes;
using quarnex::SparseFileBackend;

std::vector<std::byte> Bytes(std::size_t count, unsigned char value) {
    return std::vector<std::byte>(count, std::byte{value});
}

void WriteAll(DeviceFile& file, const std::vector<std::byte>& data) {
    const IoResult result = file.Write(data.data(), data.size());
    ASSERT_EQ(result.error, 0);
    ASSERT_EQ(result.bytes, data.size());
}

TEST(SparseFileBackend, WrittenFilesHoldExactlyTheBytesWritten) {
    TempDir dir;
    PosixDeviceBackend posix;
    FaultInjectingBackend counted(posix);
    SparseFileBackend sparse(counted);
    const std::string path = dir / "new.img";

    // A new file: data, a long run of zeros, data, and zeros at the very end.
    std::vector<std::byte> data = Bytes(40 * kSparsePieceBytes, 0);
    std::memset(data.data() + 10, 0x11, 100);
    std::memset(data.data() + 20 * kSparsePieceBytes + 5, 0x22, 3);
    {
        OpenResult opened = sparse.Open(path, Access::Write, Disposition::CreateAlways);
        ASSERT_NE(opened.file, nullptr);
        WriteAll(*opened.file, data);
        ASSERT_EQ(opened.file->Flush(), 0);
    }
    std::vector<unsigned char> expected(data.size());
    std::memcpy(expected.data(), data.data(), data.size());
    EXPECT_EQ(ReadFileBytes(path), expected);
    // Two data pieces and the final byte reach the file, nothing else.
    EXPECT_LE(AllocatedBytes(path), 4 * kSparsePieceBytes);

    // Rewriting an existing file: zeros over data are written, zeros over
    // zeros are not, and a positioned write in the middle lands in place.
    {
        OpenResult opened = sparse.Open(path, Access::ReadWrite, Disposition::OpenExisting);
        ASSERT_NE(opened.file, nullptr);
        const int writesBefore = counted.Count(FaultOp::Write);
        WriteAll(*opened.file, Bytes(kSparsePieceBytes, 0));  // over 0x11: must be written
        EXPECT_EQ(counted.Count(FaultOp::Write), writesBefore + 1);
        WriteAll(*opened.file, Bytes(5 * kSparsePieceBytes, 0));  // over zeros: stepped over
        EXPECT_EQ(counted.Count(FaultOp::Write), writesBefore + 1);
        ASSERT_EQ(opened.file->Seek(30 * kSparsePieceBytes), 0);
        WriteAll(*opened.file, Bytes(2, 0x33));
        // Reading continues after what was written.
        std::vector<std::byte> back(2);
        EXPECT_EQ(opened.file->Read(back.data(), 2).bytes, 2u);
        EXPECT_EQ(back[0], std::byte{0});
        ASSERT_EQ(opened.file->Flush(), 0);
    }
    std::fill(expected.begin() + 10, expected.begin() + 110, 0);
    expected[30 * kSparsePieceBytes] = 0x33;
    expected[30 * kSparsePieceBytes + 1] = 0x33;
    EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST(SparseFileBackend, ZerosPastTheEndReadBackAndGiveTheFullLength) {
    TempDir dir;
    PosixDeviceBackend posix;
    SparseFileBackend sparse(posix);
    const std::string path = dir / "tail.img";
    OpenResult opened = sparse.Open(path, Access::ReadWrite, Disposition::CreateNew);
    ASSERT_NE(opened.file, nullptr);
    WriteAll(*opened.file, Bytes(kSparsePieceBytes, 0x44));
    // Two calls of zeros; the first is stepped over entirely.
    WriteAll(*opened.file, Bytes(3 * kSparsePieceBytes, 0));
    ASSERT_EQ(opened.file->Seek(kSparsePieceBytes), 0);
    std::vector<std::byte> back = Bytes(3 * kSparsePieceBytes, 0x55);
    const IoResult read = opened.file->Read(back.data(), back.size());
    EXPECT_EQ(read.error, 0);
    EXPECT_EQ(read.bytes, back.size());
    EXPECT_EQ(back, Bytes(3 * kSparsePieceBytes, 0));
    ASSERT_EQ(opened.file->Flush(), 0);
    EXPECT_EQ(FileSize(path), 4 * kSparsePieceBytes);
}

}  // namespace
}  // namespace quarnex::testing
