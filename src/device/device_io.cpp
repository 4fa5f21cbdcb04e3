#include "device/device_io.hpp"

#include <cerrno>
#include <type_traits>

namespace quarnex {

namespace {

struct TransferTags {
    const char* seekSource;
    const char* transferSource;
    const char* transferDescription;
};

constexpr TransferTags kRead{"QrnMfntRead.SetFilePointer", "QrnMfntRead.ReadFile",
                             "An error occurred when attempting to Read."};
constexpr TransferTags kReadPtr{"QrnMfntReadPtr.SetFilePointer", "QrnMfntReadPtr.ReadFile",
                                "An error occurred when attempting to Read"};
constexpr TransferTags kWritePtr{"QrnMfntWritePtr.SetFilePointer", "QrnMfntWritePtr.WriteFile",
                                 "An error occurred when attempting to Write"};
constexpr const char* kSeekDescription = "An error occurred when attempting to SetFilePointer().";

Failure Failed(int error, const char* source, std::string doing, std::string target) {
    return Failure{ErrorRecord{.source = source,
                               .systemError = error,
                               .doing = std::move(doing),
                               .target = std::move(target)}};
}

// The one transfer algorithm behind the three public names.
template <typename Byte>
Status Transfer(DevHandle& handle, std::span<Byte> memory, std::size_t offset, std::size_t count,
                std::int64_t position, const TransferTags& tags) {
    DeviceFile* file = handle.File();
    if (file == nullptr) {
        return Failed(EBADF, tags.transferSource, tags.transferDescription, "");
    }
    if (position != kCurrentPosition) {
        const int error = position < 0 ? EINVAL : file->Seek(static_cast<std::uint64_t>(position));
        if (error != 0) {
            return Failed(error, tags.seekSource, kSeekDescription, file->Path());
        }
    }
    // Never move bytes outside the caller's memory.
    if (offset > memory.size() || count > memory.size() - offset) {
        return Failed(EINVAL, tags.transferSource, tags.transferDescription, file->Path());
    }
    IoResult result;
    if constexpr (std::is_const_v<Byte>) {
        result = file->Write(memory.data() + offset, count);
    } else {
        result = file->Read(memory.data() + offset, count);
    }
    if (result.error == 0 && result.bytes == count) {
        return {};
    }
    // A short transfer without a system error still failed; say why.
    const int error = result.error != 0 ? result.error : (std::is_const_v<Byte> ? ENOSPC : EIO);
    return Failed(error, tags.transferSource, tags.transferDescription, file->Path());
}

}  // namespace

DevHandle::~DevHandle() {
    // A handle dropped without CloseDevice still reaches the medium; its
    // result can no longer be reported here.
    if (file_ != nullptr && forWriting_) {
        file_->Flush();
    }
}

DevHandle& DevHandle::operator=(DevHandle&& other) noexcept {
    if (this != &other) {
        if (file_ != nullptr && forWriting_) {
            file_->Flush();
        }
        file_ = std::move(other.file_);
        forWriting_ = other.forWriting_;
    }
    return *this;
}

Result<DevHandle> OpenDevice(DeviceBackend& devices, const std::string& path, Access access,
                             Disposition disposition) {
    OpenResult opened = devices.Open(path, access, disposition);
    if (opened.file == nullptr) {
        return Failed(opened.error, "GetHandle",
                      "An error occurred when attempting to get a handle for " + path, path);
    }
    return DevHandle(std::move(opened.file), access != Access::Read);
}

namespace {

Status FlushFile(DeviceFile& file) {
    const int error = file.Flush();
    if (error != 0) {
        return Failed(error, "CloseDevHandle.Flush",
                      "An error occurred when attempting to write the data to " + file.Path(),
                      file.Path());
    }
    return {};
}

}  // namespace

Status FlushDevice(DevHandle& handle) {
    return handle.Valid() && handle.ForWriting() ? FlushFile(*handle.File()) : Status{};
}

Status CommitDevice(DevHandle& handle) {
    const bool forWriting = handle.ForWriting();
    std::unique_ptr<DeviceFile> file = handle.Release();
    if (file == nullptr || !forWriting) {
        return {};
    }
    if (const int error = file->Commit(); error != 0) {
        return Failed(error, "CloseDevHandle.Flush",
                      "An error occurred when attempting to write the data to " + file->Path(),
                      file->Path());
    }
    return {};
}

Status CloseDevice(DevHandle& handle) {
    const bool forWriting = handle.ForWriting();
    std::unique_ptr<DeviceFile> file = handle.Release();
    if (file == nullptr || !forWriting) {
        return {};
    }
    return FlushFile(*file);
}

Status DeviceRead(DevHandle& handle, std::span<std::byte> buffer, std::size_t index,
                  std::size_t count, std::int64_t position) {
    return Transfer(handle, buffer, index, count, position, kRead);
}

Status DeviceReadPtr(DevHandle& handle, std::span<std::byte> memory, std::size_t offset,
                     std::size_t count, std::int64_t position) {
    return Transfer(handle, memory, offset, count, position, kReadPtr);
}

Status DeviceWritePtr(DevHandle& handle, std::span<const std::byte> memory, std::size_t offset,
                      std::size_t count, std::int64_t position) {
    return Transfer(handle, memory, offset, count, position, kWritePtr);
}

Status DismountDevice(DevHandle& handle) {
    DeviceFile* file = handle.File();
    const int error = file == nullptr ? EBADF : file->Dismount();
    if (error != 0) {
        return Failed(error, "UnmountVolume",
                      "An error occurred when attempting to dismount the volume.",
                      file == nullptr ? std::string() : file->Path());
    }
    return {};
}

bool IsFloppyGeometry(DevHandle& handle) {
    return handle.File() != nullptr && handle.File()->HasFloppyGeometry();
}

std::uint32_t CtlCode(std::uint32_t deviceType, std::uint32_t function, std::uint32_t method,
                      std::uint32_t access) {
    return (deviceType << 16) | (access << 14) | (function << 2) | method;
}

}  // namespace quarnex
