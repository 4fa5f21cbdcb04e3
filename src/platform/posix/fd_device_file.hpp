#pragma once
// A device or file reached through an open descriptor: the transfers, flush
// and geometry test that every Linux backend shares, whoever opened the
// descriptor (open(2) here, the udisks2 service elsewhere).

#include <cstdint>
#include <string>

#include "ports/device_backend.hpp"

namespace quarnex {

class FdDeviceFile : public DeviceFile {
  public:
    // Owns fd from now on and closes it when destroyed.
    FdDeviceFile(int fd, std::string path);
    ~FdDeviceFile() override;

    int Seek(std::uint64_t position) override;
    IoResult Read(std::byte* destination, std::size_t count) override;
    IoResult Write(const std::byte* source, std::size_t count) override;
    int Flush() override;
    int ForgetCached(std::uint64_t offset, std::uint64_t length) override;
    int Commit() override { return Flush(); }
    bool HasFloppyGeometry() override;
    const std::string& Path() const override { return path_; }

  protected:
    int Fd() const { return fd_; }

  private:
    int fd_;
    std::string path_;
};

// Size of what a descriptor reaches: a block device's capacity, a file's
// length; 0 when it cannot be told.
std::uint64_t DescriptorBytes(int fd);

// Takes flock(2) on fd without waiting; the lock owns fd and releases both
// when destroyed. On failure fd is closed and the error is EWOULDBLOCK while
// another program holds the lock.
LockResult LockDescriptor(int fd, LockKind kind);

}  // namespace quarnex
