#include "platform/udisks/udisks_device_backend.hpp"

#include "platform/posix/fd_device_file.hpp"

namespace quarnex {

namespace {

// A whole disk opened by the service; slot 0's file system (and any on a
// partition) is unmounted by the service too.
class UdisksDeviceFile final : public FdDeviceFile {
  public:
    UdisksDeviceFile(int fd, std::string path, std::shared_ptr<UdisksClient> client,
                     std::string object)
        : FdDeviceFile(fd, std::move(path)),
          client_(std::move(client)),
          object_(std::move(object)) {}

    int Dismount() override { return client_->UnmountAll(object_); }

  private:
    std::shared_ptr<UdisksClient> client_;
    std::string object_;
};

const char* ModeOf(Access access) {
    switch (access) {
        case Access::Read:
            return "r";
        case Access::Write:
            return "w";
        case Access::ReadWrite:
            break;
    }
    return "rw";
}

}  // namespace

OpenResult UdisksDeviceBackend::Open(const std::string& path, Access access,
                                     Disposition disposition) {
    const std::optional<UdisksObjects> objects = client_->Objects();
    const UdisksBlock* block = objects ? objects->BlockOf(path) : nullptr;
    if (block == nullptr) {
        return files_->Open(path, access, disposition);
    }
    int error = 0;
    const int fd = client_->OpenDevice(block->object, ModeOf(access), error);
    if (fd < 0) {
        return OpenResult{nullptr, error};
    }
    return OpenResult{std::make_unique<UdisksDeviceFile>(fd, path, client_, block->object), 0};
}

LengthResult UdisksDeviceBackend::FileLength(const std::string& path) {
    const std::optional<UdisksObjects> objects = client_->Objects();
    const UdisksBlock* block = objects ? objects->BlockOf(path) : nullptr;
    if (block == nullptr) {
        return files_->FileLength(path);
    }
    return LengthResult{block->size, 0};
}

std::string UdisksDeviceBackend::ErrorText(int code) {
    std::string text = client_->ErrorText(code);
    return text.empty() ? files_->ErrorText(code) : text;
}

LockResult UdisksDeviceBackend::TryLock(const std::string& path, bool exclusive) {
    const std::optional<UdisksObjects> objects = client_->Objects();
    const UdisksBlock* block = objects ? objects->BlockOf(path) : nullptr;
    if (block == nullptr) {
        return files_->TryLock(path, exclusive);
    }
    // The device's own lock, as udev honours it: taken on a descriptor of the
    // device that the service opened for us.
    int error = 0;
    const int fd = client_->OpenDevice(block->object, "r", error);
    if (fd < 0) {
        return LockResult{nullptr, error};
    }
    return LockDescriptor(fd, exclusive);
}

}  // namespace quarnex
