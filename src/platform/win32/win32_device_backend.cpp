#include "platform/win32/win32_device_backend.hpp"

// clang-format off
#include <windows.h>
#include <winioctl.h>
// clang-format on

#include <cerrno>
#include <string>

#include "platform/win32/win32_device_file.hpp"
#include "platform/win32/win32_store_lock.hpp"
#include "platform/win32/win32_text.hpp"

namespace quarnex {

namespace {

DWORD DesiredAccess(Access access) {
    switch (access) {
        case Access::Read:
            return GENERIC_READ;
        case Access::Write:
            return GENERIC_WRITE;
        case Access::ReadWrite:
            break;
    }
    return GENERIC_READ | GENERIC_WRITE;
}

OwnedHandle OpenHandle(const std::string& path, DWORD access, DWORD disposition) {
    return OwnedHandle(::CreateFileW(WidePath(path).c_str(), access, kShareAll, nullptr,
                                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The folder a path lies in, with its separator; "." for a bare name.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string(".\\") : path.substr(0, slash + 1);
}

// The volume serial number and file index: one file under any of its names.
struct FileIdentity {
    DWORD volume = 0;
    DWORD high = 0;
    DWORD low = 0;
    bool operator==(const FileIdentity&) const = default;
};

bool IdentityOf(const std::string& path, FileIdentity& identity) {
    OwnedHandle handle = OpenHandle(path, 0, OPEN_EXISTING);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle.Valid() || !::GetFileInformationByHandle(handle.Get(), &info)) {
        return false;
    }
    identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

int OpenDeviceNumber(const std::string& path) {
    OwnedHandle handle = OpenHandle(path, 0, OPEN_EXISTING);
    return handle.Valid() ? DeviceNumberOf(handle.Get()) : -1;
}

// The physical drive a path's volume lies on; -1 where it cannot be told.
int DiskOfPath(const std::string& path) {
    wchar_t root[MAX_PATH] = {};
    std::wstring wide = WidePath(path);
    if (!::GetVolumePathNameW(wide.c_str(), root, MAX_PATH)) {
        return -1;
    }
    std::wstring volume(root);
    if (volume.rfind(L"\\\\?\\", 0) == 0) {
        volume = volume.substr(4);
    }
    if (volume.size() < 2 || volume[1] != L':') {
        return -1;
    }
    OwnedHandle handle(::CreateFileW((L"\\\\.\\" + volume.substr(0, 2)).c_str(), 0, kShareAll,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
    return handle.Valid() ? DeviceNumberOf(handle.Get()) : -1;
}

}  // namespace

OpenResult Win32DeviceBackend::Open(const std::string& path, Access access,
                                    Disposition disposition) {
    if (disposition == Disposition::Replace && access != Access::Read) {
        return OpenReplacement(path, access);
    }
    // A sparse file is read where it is written, to keep holes that are there.
    const bool sparse = sparseFiles_ && access != Access::Read && !IsDevicePath(path);
    OwnedHandle handle =
        OpenHandle(path, DesiredAccess(sparse ? Access::ReadWrite : access),
                   disposition == Disposition::CreateNew ? CREATE_NEW : OPEN_EXISTING);
    if (!handle.Valid()) {
        return OpenResult{nullptr, LastError()};
    }
    auto file = std::make_unique<Win32DeviceFile>(std::move(handle), path);
    if (sparse) {
        file->KeepSparse();
    }
    return OpenResult{std::move(file), 0};
}

OpenResult Win32DeviceBackend::OpenReplacement(const std::string& path, Access access) {
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (IsDevicePath(path)) {
        return OpenResult{nullptr, EEXIST};
    }
    if (::GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &info)) {
        if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return OpenResult{nullptr, EISDIR};
        }
        if ((info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return OpenResult{nullptr, EACCES};
        }
    }
    // A name of its own beside the target, so the rename stays on one volume.
    OwnedHandle handle;
    std::string temporaryPath;
    for (unsigned attempt = 0; !handle.Valid(); ++attempt) {
        temporaryPath = path + "." + std::to_string(::GetCurrentProcessId()) + "-" +
                        std::to_string(attempt) + ".part";
        handle = OpenHandle(temporaryPath, DesiredAccess(sparseFiles_ ? Access::ReadWrite : access),
                            CREATE_NEW);
        if (!handle.Valid() && (::GetLastError() != ERROR_FILE_EXISTS || attempt == 100)) {
            return OpenResult{nullptr, LastError()};
        }
    }
    auto file = std::make_unique<Win32DeviceFile>(std::move(handle), temporaryPath);
    file->ReplaceOnCommit(path);
    if (sparseFiles_) {
        file->KeepSparse();
    }
    return OpenResult{std::move(file), 0};
}

LengthResult Win32DeviceBackend::FileLength(const std::string& path) {
    if (IsDevicePath(path)) {
        OwnedHandle handle = OpenHandle(path, GENERIC_READ, OPEN_EXISTING);
        std::uint64_t bytes = 0;
        if (!handle.Valid() || !HandleBytes(handle.Get(), bytes)) {
            return LengthResult{std::nullopt, LastError()};
        }
        return LengthResult{bytes, 0, bytes};
    }
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (!::GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &info)) {
        return LengthResult{std::nullopt, LastError()};
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return LengthResult{std::nullopt, EISDIR};
    }
    const std::uint64_t bytes = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    // The clusters it takes: fewer than its length where it has holes.
    OwnedHandle handle = OpenHandle(path, 0, OPEN_EXISTING);
    FILE_STANDARD_INFO taken{};
    const bool known = handle.Valid() && ::GetFileInformationByHandleEx(
                                             handle.Get(), FileStandardInfo, &taken, sizeof taken);
    return LengthResult{bytes, 0,
                        known ? static_cast<std::uint64_t>(taken.AllocationSize.QuadPart) : bytes};
}

bool Win32DeviceBackend::FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
    return !IsDevicePath(path) && attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

OutputCheck Win32DeviceBackend::ExamineOutput(const std::string& path) {
    OutputCheck check;
    if (path.rfind("\\\\.\\pipe\\", 0) == 0) {
        check.kind = OutputKind::Pipe;
        return check;
    }
    if (IsDevicePath(path)) {
        check.kind = OutputKind::Device;
        return check;
    }
    const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        check.kind = folder ? OutputKind::Folder : OutputKind::File;
        check.writable = (attributes & FILE_ATTRIBUTE_READONLY) == 0;
    }
    ULARGE_INTEGER free{};
    if (::GetDiskFreeSpaceExW(WidePath(FolderOf(path)).c_str(), &free, nullptr, nullptr)) {
        check.freeBytes = free.QuadPart;
    } else if (::GetFileAttributesW(WidePath(FolderOf(path)).c_str()) == INVALID_FILE_ATTRIBUTES) {
        check.error = LastError();
    }
    return check;
}

std::string Win32DeviceBackend::ErrorText(int code) {
    return SystemErrorText(code);
}

int Win32DeviceBackend::SystemCode(int code) {
    const DWORD system = Win32FromErrno(code);
    return system != 0 ? static_cast<int>(system) : code;
}

LockResult Win32DeviceBackend::TryLock(const std::string& path, LockKind kind) {
    return IsDevicePath(path) ? LockDrive(path) : LockStoreFile(path, kind);
}

StoreOverlap Win32DeviceBackend::Overlap(const std::string& path, const std::string& storePath) {
    if (IsDevicePath(storePath)) {
        if (IsDevicePath(path)) {
            const int disk = OpenDeviceNumber(path);
            return disk >= 0 && disk == OpenDeviceNumber(storePath) ? StoreOverlap::SameDevice
                                                                    : StoreOverlap::None;
        }
        const int disk = OpenDeviceNumber(storePath);
        return disk >= 0 && DiskOfPath(path) == disk ? StoreOverlap::OnStore : StoreOverlap::None;
    }
    FileIdentity file;
    FileIdentity store;
    return IdentityOf(path, file) && IdentityOf(storePath, store) && file == store
               ? StoreOverlap::SameFile
               : StoreOverlap::None;
}

}  // namespace quarnex
