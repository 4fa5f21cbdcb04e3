#pragma once
// A file or device reached through a Windows handle: positioned transfers
// (an OVERLAPPED offset on every call, looping over short transfers), flush,
// geometry, volume dismount, and for a replacement the rename into place.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/win32_handle.hpp"
#include "ports/device_backend.hpp"

namespace quarnex {

class Win32DeviceFile final : public DeviceFile {
  public:
    Win32DeviceFile(OwnedHandle handle, std::string path) noexcept
        : handle_(std::move(handle)), path_(std::move(path)) {}
    // A new file that takes target's place when committed; removed when
    // destroyed uncommitted.
    void ReplaceOnCommit(std::string target) { target_ = std::move(target); }
    // Zeros written to this file become holes instead of data.
    void KeepSparse();
    ~Win32DeviceFile() override;

    int Seek(std::uint64_t position) override;
    IoResult Read(std::byte* destination, std::size_t count) override;
    IoResult Write(const std::byte* source, std::size_t count) override;
    int Flush() override;
    // The system keeps no way to drop one file's cache short of unbuffered
    // handles; the read-back then reads what the cache holds.
    int ForgetCached(std::uint64_t, std::uint64_t) override { return 0; }
    int Commit() override;
    int Dismount() override;
    bool HasFloppyGeometry() override;
    const std::string& Path() const override { return path_; }

  private:
    IoResult WriteData(const std::byte* source, std::size_t count);
    int ZeroRange(std::uint64_t from, std::uint64_t to);

    OwnedHandle handle_;
    std::string path_;
    std::uint64_t position_ = 0;
    std::string target_;
    bool committed_ = false;
    bool sparse_ = false;
    // Volumes of the device locked and dismounted; released when closed.
    std::vector<OwnedHandle> volumes_;
};

// Size of what a handle reaches: a disk's capacity or a file's length.
bool HandleBytes(HANDLE handle, std::uint64_t& bytes);

// The physical drive number of a volume or disk handle; -1 when it has none.
int DeviceNumberOf(HANDLE handle);

}  // namespace quarnex
