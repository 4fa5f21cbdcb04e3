#pragma once
// Device access on Windows: CreateFileW on files, "\\.\PhysicalDriveN" and
// "\\.\A:", the store lock, crash-safe replacement and the same-store guard.

#include <string>

#include "ports/device_backend.hpp"

namespace quarnex {

class Win32DeviceBackend final : public DeviceBackend {
  public:
    // sparseFiles: files opened for writing keep their zeros as holes.
    explicit Win32DeviceBackend(bool sparseFiles = false) : sparseFiles_(sparseFiles) {}

    OpenResult Open(const std::string& path, Access access, Disposition disposition) override;
    LengthResult FileLength(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    OutputCheck ExamineOutput(const std::string& path) override;
    std::string ErrorText(int code) override;
    int SystemCode(int code) override;
    LockResult TryLock(const std::string& path, LockKind kind) override;
    StoreOverlap Overlap(const std::string& path, const std::string& storePath) override;

  private:
    OpenResult OpenReplacement(const std::string& path, Access access);

    bool sparseFiles_;
};

}  // namespace quarnex
