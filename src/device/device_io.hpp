#pragma once
// Opening devices, volumes and files and moving blocks at byte positions.
// Every byte the program moves passes through here. Nothing here talks to
// the user: each step returns a status naming what failed, and the
// operations decide whether and how to show it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "core/result.hpp"
#include "ports/device_backend.hpp"

namespace quarnex {

// Position meaning "continue where the last transfer ended".
inline constexpr std::int64_t kCurrentPosition = -1;

// An open device, volume or file. Closing a handle that was opened for
// writing first puts the data on the medium.
class DevHandle {
  public:
    DevHandle() = default;
    DevHandle(std::unique_ptr<DeviceFile> file, bool forWriting)
        : file_(std::move(file)), forWriting_(forWriting) {}
    ~DevHandle();
    DevHandle(DevHandle&&) noexcept = default;
    DevHandle& operator=(DevHandle&& other) noexcept;
    DevHandle(const DevHandle&) = delete;
    DevHandle& operator=(const DevHandle&) = delete;

    bool Valid() const { return file_ != nullptr; }
    bool ForWriting() const { return forWriting_; }
    DeviceFile* File() { return file_.get(); }
    // Gives up the file without flushing it; used by CloseDevice.
    std::unique_ptr<DeviceFile> Release() { return std::move(file_); }

  private:
    std::unique_ptr<DeviceFile> file_;
    bool forWriting_ = false;
};

// Opens path for reading, writing or both; Replace writes a new file that
// takes the old one's place only through CommitDevice.
Result<DevHandle> OpenDevice(DeviceBackend& devices, const std::string& path, Access access,
                             Disposition disposition);

// Closes the handle (nothing for an invalid one). A handle opened for writing
// is flushed first; the flush's failure is the status.
Status CloseDevice(DevHandle& handle);
// Puts what was written through a handle opened for writing on the medium,
// keeping the handle open.
Status FlushDevice(DevHandle& handle);
// Closes a handle whose output is complete: flushed, and a replacement put
// in the old file's place. Closing it any other way leaves the old file.
Status CommitDevice(DevHandle& handle);

// Transfers count bytes between the handle and memory at the given position
// (kCurrentPosition continues where the last transfer ended). Ok only when
// every byte moved. The three differ only in the tags a failure carries.
Status DeviceRead(DevHandle& handle, std::span<std::byte> buffer, std::size_t index,
                  std::size_t count, std::int64_t position);
Status DeviceReadPtr(DevHandle& handle, std::span<std::byte> memory, std::size_t offset,
                     std::size_t count, std::int64_t position);
Status DeviceWritePtr(DevHandle& handle, std::span<const std::byte> memory, std::size_t offset,
                      std::size_t count, std::int64_t position);

// Takes the volume on the handle's device out of use.
Status DismountDevice(DevHandle& handle);

// True when the medium has the 1.44 MB floppy geometry.
bool IsFloppyGeometry(DevHandle& handle);

// Device-control code from its four parts.
std::uint32_t CtlCode(std::uint32_t deviceType, std::uint32_t function, std::uint32_t method,
                      std::uint32_t access);

}  // namespace quarnex
