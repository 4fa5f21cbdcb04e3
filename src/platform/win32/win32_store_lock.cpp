#include "platform/win32/win32_store_lock.hpp"

#include <cerrno>

#include "platform/win32/win32_device_file.hpp"
#include "platform/win32/win32_handle.hpp"
#include "platform/win32/win32_text.hpp"

namespace quarnex {

namespace {

OVERLAPPED LockedRange() {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(kLockedByte);
    at.OffsetHigh = static_cast<DWORD>(kLockedByte >> 32);
    return at;
}

// The range lock lives as long as its own handle.
class FileRangeLock final : public StoreLock {
  public:
    explicit FileRangeLock(OwnedHandle handle) : handle_(std::move(handle)) {}
    ~FileRangeLock() override {
        OVERLAPPED at = LockedRange();
        ::UnlockFileEx(handle_.Get(), 0, 1, 0, &at);
    }

  private:
    OwnedHandle handle_;
};

class DriveMutexLock final : public StoreLock {
  public:
    explicit DriveMutexLock(OwnedHandle mutex) : mutex_(std::move(mutex)) {}
    ~DriveMutexLock() override { ::ReleaseMutex(mutex_.Get()); }

  private:
    OwnedHandle mutex_;
};

}  // namespace

LockResult LockStoreFile(const std::string& path, LockKind kind) {
    OwnedHandle handle(::CreateFileW(WidePath(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.Valid()) {
        return LockResult{nullptr, LastError()};
    }
    OVERLAPPED at = LockedRange();
    const DWORD flags =
        LOCKFILE_FAIL_IMMEDIATELY | (kind == LockKind::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (!::LockFileEx(handle.Get(), flags, 0, 1, 0, &at)) {
        const DWORD error = ::GetLastError();
        return LockResult{nullptr, error == ERROR_IO_PENDING ? EWOULDBLOCK : ErrnoFromWin32(error)};
    }
    return LockResult{std::make_unique<FileRangeLock>(std::move(handle)), 0};
}

LockResult LockDrive(const std::string& devicePath) {
    OwnedHandle device(::CreateFileW(WidePath(devicePath).c_str(), 0, kShareAll, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    if (!device.Valid()) {
        return LockResult{nullptr, LastError()};
    }
    // A volume and its disk are one drive: both are named by the disk number.
    const int number = DeviceNumberOf(device.Get());
    const std::wstring name =
        L"Global\\Quarnex-PhysicalDrive" +
        (number >= 0 ? std::to_wstring(number) : WidePath(devicePath).substr(4));
    OwnedHandle mutex(::CreateMutexW(nullptr, FALSE, name.c_str()));
    if (!mutex.Valid()) {
        return LockResult{nullptr, LastError()};
    }
    const DWORD waited = ::WaitForSingleObject(mutex.Get(), 0);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        return LockResult{nullptr, EWOULDBLOCK};
    }
    return LockResult{std::make_unique<DriveMutexLock>(std::move(mutex)), 0};
}

}  // namespace quarnex
