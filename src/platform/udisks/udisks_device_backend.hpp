#pragma once
// Device access without root: a whole disk that udisks2 knows is opened by
// the service (Block.OpenDevice, polkit asking the user) and used through the
// descriptor it hands over; its store lock is taken on such a descriptor and
// dismounting asks the service to unmount. Everything else (image files,
// store files, descriptions) goes to the inner backend.

#include <memory>
#include <optional>
#include <string>

#include "platform/udisks/udisks_client.hpp"
#include "ports/device_backend.hpp"

namespace quarnex {

class UdisksDeviceBackend final : public DeviceBackend {
  public:
    UdisksDeviceBackend(std::shared_ptr<UdisksClient> client, std::unique_ptr<DeviceBackend> files)
        : client_(std::move(client)), files_(std::move(files)) {}

    OpenResult Open(const std::string& path, Access access, Disposition disposition) override;
    LengthResult FileLength(const std::string& path) override;
    bool FileExists(const std::string& path) override { return files_->FileExists(path); }
    OutputCheck ExamineOutput(const std::string& path) override {
        return files_->ExamineOutput(path);
    }
    std::string ErrorText(int code) override;
    LockResult TryLock(const std::string& path, LockKind kind) override;
    // Device numbers, inodes and loop backing files are read the same way
    // with or without the service.
    StoreOverlap Overlap(const std::string& path, const std::string& storePath) override {
        return files_->Overlap(path, storePath);
    }

  private:
    struct Opened {
        int fd = -1;  // -1 with the error
        int error = 0;
        std::string object;
    };
    // A device the service knows, opened by it; empty for other paths.
    std::optional<Opened> OpenThroughService(const std::string& path, const char* mode);

    std::shared_ptr<UdisksClient> client_;
    std::unique_ptr<DeviceBackend> files_;
};

}  // namespace quarnex
