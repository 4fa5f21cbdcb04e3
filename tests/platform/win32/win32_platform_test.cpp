// The Windows backend on real files: the store lock between handles, files
// under non-ASCII and long names, transfers that come in pieces, sparse
// writes, crash-safe replacement, Ctrl-C and the placement file's folder.

#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <filesystem>
#include <thread>

#include "platform/win32/win32_device_backend.hpp"
#include "platform/win32/win32_device_file.hpp"
#include "platform/win32/win32_interrupt_watch.hpp"
#include "platform/win32/win32_program_paths.hpp"
#include "platform/win32/win32_text.hpp"
#include "support/temp_dir.hpp"

namespace quarnex::testing {
namespace {

std::vector<std::byte> Bytes(std::size_t count, unsigned char value) {
    return std::vector<std::byte>(count, std::byte{value});
}

std::vector<std::byte> ReadAt(DeviceFile& file, std::uint64_t at, std::size_t count) {
    std::vector<std::byte> bytes(count);
    EXPECT_EQ(file.Seek(at), 0);
    bytes.resize(file.Read(bytes.data(), count).bytes);
    return bytes;
}

TEST(Win32Lock, ASecondLockerIsRefusedWhileTheHoldersOwnHandlesReadAndWrite) {
    for (const auto& [first, secondKind, secondTaken] :
         std::initializer_list<std::tuple<LockKind, LockKind, bool>>{
             {LockKind::Exclusive, LockKind::Exclusive, false},
             {LockKind::Exclusive, LockKind::Shared, false},
             {LockKind::Shared, LockKind::Exclusive, false},
             {LockKind::Shared, LockKind::Shared, true}}) {
        TempDir dir;
        Win32DeviceBackend backend;
        MakeSparseFile(dir / "s.img", 4096);
        LockResult held = backend.TryLock(dir / "s.img", first);
        ASSERT_NE(held.lock, nullptr);
        LockResult second = backend.TryLock(dir / "s.img", secondKind);
        EXPECT_EQ(second.lock != nullptr, secondTaken);
        EXPECT_EQ(second.error, secondTaken ? 0 : EWOULDBLOCK);
        OpenResult own = backend.Open(dir / "s.img", Access::ReadWrite, Disposition::OpenExisting);
        ASSERT_NE(own.file, nullptr);
        const std::vector<std::byte> data = Bytes(4096, 0x5a);
        ASSERT_EQ(own.file->Seek(0), 0);
        EXPECT_EQ(own.file->Write(data.data(), data.size()).bytes, data.size());
        EXPECT_EQ(ReadAt(*own.file, 0, 4096), data);
        held.lock.reset();
        second.lock.reset();
        EXPECT_NE(backend.TryLock(dir / "s.img", LockKind::Exclusive).lock, nullptr);
    }
}

TEST(Win32Paths, WidePathsTakeTheLongPathPrefixOnlyWhereItApplies) {
    for (const auto& [path, wide] : std::initializer_list<std::tuple<const char*, const wchar_t*>>{
             {"C:/a/b.img", L"\\\\?\\C:\\a\\b.img"},
             {"d:\\Grüße.img", L"\\\\?\\d:\\Gr\u00fc\u00dfe.img"},
             {"\\\\.\\PhysicalDrive1", L"\\\\.\\PhysicalDrive1"},
             {"\\\\server\\share\\f", L"\\\\?\\UNC\\server\\share\\f"},
             {"rel/x.img", L"rel\\x.img"}}) {
        EXPECT_EQ(WidePath(path), wide) << path;
        EXPECT_EQ(Narrow(Widen(path)), path);
    }
}

TEST(Win32Paths, FilesUnderNonAsciiAndLongNamesRoundTrip) {
    TempDir dir;
    const std::string deep = dir / std::string(150, 'd');
    ASSERT_TRUE(::CreateDirectoryW(WidePath(deep).c_str(), nullptr));
    for (const std::string& name : {dir / "Grüße.img", dir / "日本語.img", dir / "Ωμέγα ñ.img",
                                    deep + "/" + std::string(150, 'f') + "é.img"}) {
        Win32DeviceBackend backend;
        const std::vector<std::byte> data = Bytes(1000, 0x42);
        {
            OpenResult created = backend.Open(name, Access::Write, Disposition::CreateNew);
            ASSERT_NE(created.file, nullptr) << name << ": " << backend.ErrorText(created.error);
            EXPECT_EQ(created.file->Write(data.data(), data.size()).bytes, data.size());
            EXPECT_EQ(created.file->Commit(), 0);
        }
        EXPECT_TRUE(backend.FileExists(name));
        EXPECT_EQ(backend.FileLength(name).length, 1000u);
        OpenResult read = backend.Open(name, Access::Read, Disposition::OpenExisting);
        ASSERT_NE(read.file, nullptr);
        EXPECT_EQ(ReadAt(*read.file, 0, 2000), data) << name;  // the end gives a short read
        EXPECT_EQ(backend.Open(name, Access::Write, Disposition::CreateNew).error, EEXIST);
    }
    Win32DeviceBackend backend;
    const OpenResult missing =
        backend.Open(dir / "missing", Access::Read, Disposition::OpenExisting);
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_FALSE(backend.ErrorText(missing.error).empty());
    // The error report shows the system's own code, as a Windows program does.
    for (const DWORD code : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_DISK_FULL,
                             ERROR_NOT_READY, ERROR_SECTOR_NOT_FOUND}) {
        EXPECT_EQ(backend.SystemCode(ErrnoFromWin32(code)), static_cast<int>(code));
    }
    EXPECT_EQ(backend.SystemCode(EFBIG), ERROR_FILE_TOO_LARGE);  // a number of the program's own
}

TEST(Win32Transfers, TransfersThatArriveInPiecesAreCompleted) {
    HANDLE reader = nullptr;
    HANDLE writer = nullptr;
    ASSERT_TRUE(::CreatePipe(&reader, &writer, nullptr, 0));
    Win32DeviceFile in(OwnedHandle(reader), "pipe");
    std::thread feeder([writer] {
        for (int i = 0; i < 10; ++i) {
            const std::vector<std::byte> piece = Bytes(100, static_cast<unsigned char>(i));
            DWORD written = 0;
            ::WriteFile(writer, piece.data(), 100, &written, nullptr);
            ::Sleep(5);
        }
        ::CloseHandle(writer);
    });
    std::vector<std::byte> got(1000);
    const IoResult read = in.Read(got.data(), got.size());
    feeder.join();
    EXPECT_EQ(read.bytes, 1000u);
    EXPECT_EQ(got[950], std::byte{9});
}

TEST(Win32Files, SparseWritesAndReplacementsHoldExactlyTheBytesWritten) {
    for (const auto& [commit, old, written] :
         std::initializer_list<std::tuple<bool, unsigned char, unsigned char>>{
             {true, 0x00, 0x00}, {true, 0x77, 0x00}, {true, 0x00, 0x31}, {false, 0x77, 0x00}}) {
        TempDir dir;
        const std::string path = dir / "store.img";
        WriteFileBytes(path, std::vector<unsigned char>(8 * 65536, old));
        Win32DeviceBackend backend(true);
        {
            OpenResult file = backend.Open(path, Access::Write, Disposition::Replace);
            ASSERT_NE(file.file, nullptr);
            // The file holds what it held until the replacement is committed.
            std::vector<std::byte> data = Bytes(16 * 65536, written);
            data[5] = std::byte{0xee};
            EXPECT_EQ(file.file->Write(data.data(), data.size()).bytes, data.size());
            EXPECT_EQ(ReadFileBytes(path, 100, 1)[0], old);
            if (commit) {
                EXPECT_EQ(file.file->Commit(), 0);
            }
        }
        const std::vector<unsigned char> now = ReadFileBytes(path);
        EXPECT_EQ(now.size(), (commit ? 16u : 8u) * 65536);
        EXPECT_EQ(now[5], commit ? 0xee : old);
        EXPECT_EQ(now.back(), commit ? written : old);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
        if (commit && written == 0) {
            EXPECT_LT(AllocatedBytes(path), 4u * 65536) << "zeros stay holes";
        }
    }
}

TEST(Win32Interrupts, CtrlCIsCollectedOnceInsteadOfEndingTheProgram) {
    Win32InterruptWatch watch;
    EXPECT_FALSE(watch.Poll());
    if (!::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) {
        GTEST_SKIP() << "no console to send Ctrl-C to";
    }
    bool seen = false;
    for (int i = 0; i < 200 && !seen; ++i) {
        ::Sleep(10);
        seen = watch.Poll();
    }
    EXPECT_TRUE(seen);
    EXPECT_FALSE(watch.Poll());
}

TEST(Win32Paths, ThePlacementFileGoesToAppDataWhereTheProgramsFolderIsNotWritable) {
    EXPECT_EQ(ChooseWin32PlacementFile("C:\\q\\", true, "C:\\Users\\u\\AppData\\Roaming"),
              "C:\\q\\QuarnCfg\\Quarn.cfg");
    EXPECT_EQ(ChooseWin32PlacementFile("C:\\q\\", false, "C:\\Users\\u\\AppData\\Roaming"),
              "C:\\Users\\u\\AppData\\Roaming\\Quarnex\\Quarn.cfg");
    EXPECT_EQ(ChooseWin32PlacementFile("C:\\q\\", false, ""), "C:\\q\\QuarnCfg\\Quarn.cfg");
}

}  // namespace
}  // namespace quarnex::testing
