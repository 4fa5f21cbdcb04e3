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

std::optional<UdisksDeviceBackend::Opened> UdisksDeviceBackend::OpenThroughService(
    const std::string& path, const char* mode) {
    // The object of a device the last look saw serves as long as the service
    // still has it; one it does not know (any more) is looked for afresh.
    if (const std::optional<UdisksObjects>& known = client_->Known()) {
        if (const UdisksBlock* block = known->BlockOf(path)) {
            Opened opened{-1, 0, block->object};
            opened.fd = client_->OpenDevice(opened.object, mode, opened.error);
            if (opened.fd >= 0 || opened.error != kUdisksFailed) {
                return opened;
            }
        }
    }
    const std::optional<UdisksObjects> objects = client_->Objects();
    const UdisksBlock* block = objects ? objects->BlockOf(path) : nullptr;
    if (block == nullptr) {
        return std::nullopt;
    }
    Opened opened{-1, 0, block->object};
    opened.fd = client_->OpenDevice(opened.object, mode, opened.error);
    return opened;
}

OpenResult UdisksDeviceBackend::Open(const std::string& path, Access access,
                                     Disposition disposition) {
    const std::optional<Opened> opened = OpenThroughService(path, ModeOf(access));
    if (!opened) {
        return files_->Open(path, access, disposition);
    }
    if (opened->fd < 0) {
        return OpenResult{nullptr, opened->error};
    }
    return OpenResult{std::make_unique<UdisksDeviceFile>(opened->fd, path, client_, opened->object),
                      0};
}

LengthResult UdisksDeviceBackend::FileLength(const std::string& path) {
    const std::optional<UdisksObjects> objects = client_->Objects();
    const UdisksBlock* block = objects ? objects->BlockOf(path) : nullptr;
    if (block == nullptr) {
        return files_->FileLength(path);
    }
    return LengthResult{block->size, 0, block->size};
}

std::string UdisksDeviceBackend::ErrorText(int code) {
    std::string text = client_->ErrorText(code);
    return text.empty() ? files_->ErrorText(code) : text;
}

LockResult UdisksDeviceBackend::TryLock(const std::string& path, LockKind kind) {
    // The device's own lock, as udev honours it: taken on a descriptor of the
    // device that the service opened for us.
    const std::optional<Opened> opened = OpenThroughService(path, "r");
    if (!opened) {
        return files_->TryLock(path, kind);
    }
    if (opened->fd < 0) {
        return LockResult{nullptr, opened->error};
    }
    return LockDescriptor(opened->fd, kind);
}

}  // namespace quarnex
