#pragma once
// Keeps the regular files the terminal tool writes sparse: a piece of zeros
// that the file already holds (a hole, or bytes past its end) is stepped over
// instead of written. Stores are mostly zeros, so a new whole-store file or a
// backup costs a few megabytes instead of 1.5 GB. Block devices and reads
// pass straight through.

#include <cstddef>
#include <memory>
#include <string>

#include "ports/device_backend.hpp"

namespace quarnex {

// Pieces of this size are tested for zeros; large enough that the test is
// cheap, small enough to find the gaps between FAT areas.
inline constexpr std::size_t kSparsePieceBytes = 4096;

class SparseFileBackend final : public DeviceBackend {
  public:
    explicit SparseFileBackend(DeviceBackend& inner) : inner_(inner) {}
    explicit SparseFileBackend(std::unique_ptr<DeviceBackend> inner)
        : owned_(std::move(inner)), inner_(*owned_) {}

    OpenResult Open(const std::string& path, Access access, Disposition disposition) override;
    LengthResult FileLength(const std::string& path) override { return inner_.FileLength(path); }
    bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
    OutputCheck ExamineOutput(const std::string& path) override {
        return inner_.ExamineOutput(path);
    }
    std::string ErrorText(int code) override { return inner_.ErrorText(code); }
    LockResult TryLock(const std::string& path, LockKind kind) override {
        return inner_.TryLock(path, kind);
    }
    StoreOverlap Overlap(const std::string& path, const std::string& storePath) override {
        return inner_.Overlap(path, storePath);
    }

  private:
    std::unique_ptr<DeviceBackend> owned_;
    DeviceBackend& inner_;
};

}  // namespace quarnex
