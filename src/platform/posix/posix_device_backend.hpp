#pragma once
// Device access on Linux and other POSIX systems: open(2), read(2), write(2),
// fsync(2), ioctls for geometry, umount2(2) for dismounting. Regular files
// work as devices everywhere, which also lets a store image file be a store.

#include <string>

#include "ports/device_backend.hpp"

namespace quarnex {

// Where the backend looks at the system; tests point these at fake trees.
struct PosixRoots {
    std::string sysRoot = "/sys";
    std::string devRoot = "/dev";
    std::string mountInfo = "/proc/self/mountinfo";
};

class PosixDeviceBackend final : public DeviceBackend {
  public:
    explicit PosixDeviceBackend(PosixRoots roots = {});

    OpenResult Open(const std::string& path, Access access, Disposition disposition) override;
    LengthResult FileLength(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    OutputCheck ExamineOutput(const std::string& path) override;
    std::string ErrorText(int code) override;
    LockResult TryLock(const std::string& path, LockKind kind) override;
    StoreOverlap Overlap(const std::string& path, const std::string& storePath) override;

    const PosixRoots& Roots() const { return roots_; }

  private:
    PosixRoots roots_;
};

}  // namespace quarnex
