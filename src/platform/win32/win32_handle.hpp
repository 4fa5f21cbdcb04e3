#pragma once
// An owned HANDLE, closed when destroyed.

#include <windows.h>

#include <utility>

namespace quarnex {

class OwnedHandle {
  public:
    OwnedHandle() = default;
    explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
    ~OwnedHandle() { Reset(); }
    OwnedHandle(OwnedHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        }
        return *this;
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    void Reset() {
        if (Valid()) {
            ::CloseHandle(handle_);
        }
        handle_ = INVALID_HANDLE_VALUE;
    }

  private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Every handle the program opens lets others (and its own other handles)
// read, write, and rename or delete the file: a replacement file is renamed
// while open, and the stores are guarded by their own lock instead.
inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// True for "\\.\X:" and "\\.\PhysicalDriveN": devices, not files.
inline bool IsDevicePath(const std::string& path) {
    return path.rfind("\\\\.\\", 0) == 0 || path.rfind("//./", 0) == 0;
}

}  // namespace quarnex
