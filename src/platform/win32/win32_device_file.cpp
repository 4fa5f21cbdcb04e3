#include "platform/win32/win32_device_file.hpp"

#include <winioctl.h>

#include <algorithm>
#include <cerrno>

#include "core/all_zero.hpp"
#include "core/media_sizes.hpp"
#include "platform/win32/win32_text.hpp"

namespace quarnex {

namespace {

// Pieces tested for zeros in a sparse file; holes are made of runs of them.
constexpr std::size_t kPieceBytes = 4096;
// One call moves at most this much, so a count never overflows a DWORD.
constexpr std::size_t kMaxCall = 1u << 30;

OVERLAPPED At(std::uint64_t position) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(position);
    at.OffsetHigh = static_cast<DWORD>(position >> 32);
    return at;
}

// Repeats a positioned call until count bytes moved, it fails, or it moves
// nothing, which ends with stalledError.
template <typename Call>
IoResult Transfer(std::uint64_t position, std::size_t count, int stalledError, Call call) {
    IoResult result;
    while (result.bytes < count) {
        OVERLAPPED at = At(position + result.bytes);
        DWORD moved = 0;
        const DWORD ask = static_cast<DWORD>(std::min(count - result.bytes, kMaxCall));
        if (!call(result.bytes, ask, &moved, &at)) {
            const DWORD error = ::GetLastError();
            result.error = error == ERROR_HANDLE_EOF ? 0 : ErrnoFromWin32(error);
            break;
        }
        if (moved == 0) {
            result.error = stalledError;
            break;
        }
        result.bytes += moved;
    }
    return result;
}

bool IsDisk(HANDLE handle) {
    return ::GetFileType(handle) == FILE_TYPE_DISK;
}

}  // namespace

Win32DeviceFile::~Win32DeviceFile() {
    handle_.Reset();
    if (!target_.empty() && !committed_) {
        ::DeleteFileW(WidePath(path_).c_str());
    }
}

void Win32DeviceFile::KeepSparse() {
    DWORD returned = 0;
    // Without the mark, zeros past the end still make no data where the file
    // system leaves holes; where it cannot, ZeroRange fails and they are
    // written after all.
    ::DeviceIoControl(handle_.Get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    sparse_ = true;
}

int Win32DeviceFile::Seek(std::uint64_t position) {
    position_ = position;
    return 0;
}

IoResult Win32DeviceFile::Read(std::byte* destination, std::size_t count) {
    const IoResult result = Transfer(
        position_, count, 0, [&](std::size_t done, DWORD ask, DWORD* moved, OVERLAPPED* at) {
            return ::ReadFile(handle_.Get(), destination + done, ask, moved, at) != 0;
        });
    position_ += result.bytes;
    return result;
}

IoResult Win32DeviceFile::WriteData(const std::byte* source, std::size_t count) {
    const IoResult result = Transfer(
        position_, count, ENOSPC, [&](std::size_t done, DWORD ask, DWORD* moved, OVERLAPPED* at) {
            return ::WriteFile(handle_.Get(), source + done, ask, moved, at) != 0;
        });
    position_ += result.bytes;
    return result;
}

// Makes [from, to) read as zeros without writing them: past the end the file
// only grows; inside it, bytes already zero stay as they are (a hole stays a
// hole) and others are given back to the file system where it can.
int Win32DeviceFile::ZeroRange(std::uint64_t from, std::uint64_t to) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle_.Get(), &size)) {
        return LastError();
    }
    const auto end = static_cast<std::uint64_t>(size.QuadPart);
    if (from < end) {
        const std::uint64_t stop = std::min(to, end);
        std::vector<std::byte> held(static_cast<std::size_t>(stop - from));
        const std::uint64_t kept = position_;
        position_ = from;
        const IoResult read = Read(held.data(), held.size());
        position_ = kept;
        if (read.error != 0 || read.bytes != held.size() || !AllZero(held.data(), held.size())) {
            FILE_ZERO_DATA_INFORMATION range{};
            range.FileOffset.QuadPart = static_cast<LONGLONG>(from);
            range.BeyondFinalZero.QuadPart = static_cast<LONGLONG>(stop);
            DWORD returned = 0;
            if (!::DeviceIoControl(handle_.Get(), FSCTL_SET_ZERO_DATA, &range, sizeof range,
                                   nullptr, 0, &returned, nullptr)) {
                return LastError();
            }
        }
    }
    if (to > end) {
        FILE_END_OF_FILE_INFO grown{};
        grown.EndOfFile.QuadPart = static_cast<LONGLONG>(to);
        if (!::SetFileInformationByHandle(handle_.Get(), FileEndOfFileInfo, &grown, sizeof grown)) {
            return LastError();
        }
    }
    return 0;
}

IoResult Win32DeviceFile::Write(const std::byte* source, std::size_t count) {
    if (!sparse_) {
        return WriteData(source, count);
    }
    IoResult total;
    while (total.bytes < count) {
        // A run of whole zero pieces, or the data up to the next one.
        const std::size_t piece = std::min(kPieceBytes, count - total.bytes);
        const bool zero = piece == kPieceBytes && AllZero(source + total.bytes, piece);
        std::size_t run = piece;
        while (total.bytes + run + kPieceBytes <= count &&
               AllZero(source + total.bytes + run, kPieceBytes) == zero) {
            run += kPieceBytes;
        }
        if (zero && ZeroRange(position_, position_ + run) == 0) {
            position_ += run;
            total.bytes += run;
            continue;
        }
        // Where the file system cannot make holes, the zeros are written.
        const IoResult part = WriteData(source + total.bytes, run);
        total.bytes += part.bytes;
        if (part.error != 0 || part.bytes < run) {
            total.error = part.error;
            break;
        }
    }
    return total;
}

int Win32DeviceFile::Flush() {
    if (!IsDisk(handle_.Get())) {
        return 0;  // a pipe or console keeps nothing back
    }
    return ::FlushFileBuffers(handle_.Get()) ? 0 : LastError();
}

int Win32DeviceFile::Commit() {
    if (const int error = Flush(); error != 0 || target_.empty() || committed_) {
        return error;
    }
    if (!::MoveFileExW(WidePath(path_).c_str(), WidePath(target_).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return LastError();
    }
    committed_ = true;
    path_ = target_;
    return 0;
}

int Win32DeviceFile::Dismount() {
    if (!IsDevicePath(path_)) {
        return 0;  // a file is no volume
    }
    std::vector<std::wstring> volumes;
    const int disk = path_.find(':') == std::string::npos ? DeviceNumberOf(handle_.Get()) : -1;
    if (disk < 0) {
        volumes.push_back(WidePath(path_));  // a volume itself (\\.\A:)
    } else {
        const DWORD letters = ::GetLogicalDrives();
        for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
            if ((letters & (1u << (letter - L'A'))) == 0) {
                continue;
            }
            const std::wstring volume = std::wstring(L"\\\\.\\") + letter + L":";
            OwnedHandle probe(
                ::CreateFileW(volume.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
            if (probe.Valid() && DeviceNumberOf(probe.Get()) == disk) {
                volumes.push_back(volume);
            }
        }
    }
    // Locked first, so that nothing has a file open on it, then dismounted;
    // the lock stays until this handle closes, so it is not mounted again.
    for (const std::wstring& volume : volumes) {
        OwnedHandle handle(::CreateFileW(volume.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
        DWORD returned = 0;
        if (!handle.Valid() ||
            !::DeviceIoControl(handle.Get(), FSCTL_LOCK_VOLUME, nullptr, 0, nullptr, 0, &returned,
                               nullptr) ||
            !::DeviceIoControl(handle.Get(), FSCTL_DISMOUNT_VOLUME, nullptr, 0, nullptr, 0,
                               &returned, nullptr)) {
            return LastError();
        }
        volumes_.push_back(std::move(handle));
    }
    return 0;
}

bool Win32DeviceFile::HasFloppyGeometry() {
    DISK_GEOMETRY_EX geometry{};
    DWORD returned = 0;
    if (::DeviceIoControl(handle_.Get(), IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, nullptr, 0, &geometry,
                          sizeof geometry, &returned, nullptr)) {
        const DISK_GEOMETRY& g = geometry.Geometry;
        if (g.Cylinders.QuadPart == 80 && g.TracksPerCylinder == 2 && g.SectorsPerTrack == 18 &&
            g.BytesPerSector == kSectorBytes) {
            return true;
        }
    }
    // USB floppy drives and image files: the size of a 1.44 MB disk.
    std::uint64_t bytes = 0;
    return HandleBytes(handle_.Get(), bytes) && bytes == kImageBytes;
}

bool HandleBytes(HANDLE handle, std::uint64_t& bytes) {
    GET_LENGTH_INFORMATION length{};
    DWORD returned = 0;
    if (::DeviceIoControl(handle, IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &length, sizeof length,
                          &returned, nullptr)) {
        bytes = static_cast<std::uint64_t>(length.Length.QuadPart);
        return true;
    }
    LARGE_INTEGER size{};
    if (IsDisk(handle) && ::GetFileSizeEx(handle, &size)) {
        bytes = static_cast<std::uint64_t>(size.QuadPart);
        return true;
    }
    return false;
}

int DeviceNumberOf(HANDLE handle) {
    STORAGE_DEVICE_NUMBER number{};
    DWORD returned = 0;
    if (!::DeviceIoControl(handle, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number,
                           sizeof number, &returned, nullptr) ||
        returned != sizeof number) {
        return -1;
    }
    return static_cast<int>(number.DeviceNumber);
}

}  // namespace quarnex
