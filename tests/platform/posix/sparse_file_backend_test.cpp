// Files written through the sparse backend hold exactly the bytes written,
// at their full length, while zeros they already hold are not written again.

#include "platform/posix/sparse_file_backend.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "platform/posix/posix_device_backend.hpp"
#include "support/fault_injecting_backend.hpp"
#include "support/temp_dir.hpp"

namespace quarnex::testing {
namespace {

using quarnex::kSparsePieceBytes;
using quarnex::SparseFileBackend;

constexpr std::size_t kPiece = kSparsePieceBytes;

void WriteAll(DeviceFile& file, const std::vector<unsigned char>& data) {
    const IoResult result =
        file.Write(reinterpret_cast<const std::byte*>(data.data()), data.size());
    ASSERT_EQ(result.error, 0);
    ASSERT_EQ(result.bytes, data.size());
}

// 40 pieces: 100 bytes of 0x11 in the first, 3 of 0x22 in the 21st.
std::vector<unsigned char> Original() {
    std::vector<unsigned char> data(40 * kPiece, 0);
    std::memset(data.data() + 10, 0x11, 100);
    std::memset(data.data() + 20 * kPiece + 5, 0x22, 3);
    return data;
}

// A new file written sparse holds the bytes written, and only its data takes
// space. Rewriting it, and a file whose zeros are all on the disk: zeros where
// the file holds zeros are stepped over, anything else is written.
TEST(SparseFileBackend, WritesOnlyWhereTheFileDoesNotHoldThoseZerosYet) {
    // Piece, value, pieces, and the write calls that reach the file.
    const std::tuple<std::size_t, unsigned char, std::size_t, int, const char*> steps[] = {
        {0, 0x00, 1, 1, "zeros over data"},
        {0, 0x00, 1, 0, "zeros over the zeros just written"},
        {1, 0x00, 5, 0, "zeros over zeros"},
        {2, 0x77, 1, 1, "data"},
        {2, 0x00, 2, 1, "zeros over the data just written, then over zeros"},
        {19, 0x00, 3, 1, "zeros over a run ending in data"},
        {38, 0x00, 2, 0, "zeros up to the end"},
    };
    for (const bool holes : {true, false}) {
        SCOPED_TRACE(holes ? "file with holes" : "file of written zeros");
        TempDir dir;
        PosixDeviceBackend posix;
        FaultInjectingBackend counted(posix);
        SparseFileBackend sparse(counted);
        const std::string path = dir / "store.img";
        if (holes) {
            OpenResult fresh = sparse.Open(path, Access::Write, Disposition::Replace);
            ASSERT_NE(fresh.file, nullptr);
            WriteAll(*fresh.file, Original());
            ASSERT_EQ(fresh.file->Commit(), 0);
            EXPECT_EQ(ReadFileBytes(path), Original());
            // Two data pieces and the final byte reach the file, nothing else.
            EXPECT_LE(AllocatedBytes(path), 4 * kPiece);
        } else {
            WriteFileBytes(path, Original());
        }
        std::vector<unsigned char> expected = Original();
        OpenResult opened = sparse.Open(path, Access::ReadWrite, Disposition::OpenExisting);
        ASSERT_NE(opened.file, nullptr);
        for (const auto& [piece, value, pieces, writes, what] : steps) {
            const int before = counted.Count(FaultOp::Write);
            ASSERT_EQ(opened.file->Seek(piece * kPiece), 0);
            WriteAll(*opened.file, std::vector<unsigned char>(pieces * kPiece, value));
            EXPECT_EQ(counted.Count(FaultOp::Write) - before, writes) << what;
            std::fill_n(expected.begin() + static_cast<std::ptrdiff_t>(piece * kPiece),
                        pieces * kPiece, value);
        }
        // Zeros past the end are stepped over and still give the full length.
        ASSERT_EQ(opened.file->Seek(40 * kPiece), 0);
        WriteAll(*opened.file, std::vector<unsigned char>(3 * kPiece, 0));
        ASSERT_EQ(opened.file->Flush(), 0);
        opened.file.reset();
        expected.resize(43 * kPiece, 0);
        EXPECT_EQ(ReadFileBytes(path), expected);
    }
}

}  // namespace
}  // namespace quarnex::testing
