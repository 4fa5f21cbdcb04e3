#include "device/device_io.hpp"

#include <cerrno>
#include <optional>
#include <type_traits>

#include "device/error_report.hpp"

namespace quarnex {

namespace {

struct TransferNames {
    const char* seekSource;
    const char* transferSource;
    const char* transferDescription;
};

constexpr TransferNames kRead{"QrnMfntRead.SetFilePointer", "QrnMfntRead.ReadFile",
                              "An error occurred when attempting to Read."};
constexpr TransferNames kReadPtr{"QrnMfntReadPtr.SetFilePointer", "QrnMfntReadPtr.ReadFile",
                                 "An error occurred when attempting to Read"};
constexpr TransferNames kWritePtr{"QrnMfntWritePtr.SetFilePointer", "QrnMfntWritePtr.WriteFile",
                                  "An error occurred when attempting to Write"};
constexpr const char* kSeekDescription = "An error occurred when attempting to SetFilePointer().";

Access AccessOf(std::uint32_t desiredAccess) {
    const bool read = (desiredAccess & 0x1) != 0;   // FILE_READ_DATA
    const bool write = (desiredAccess & 0x2) != 0;  // FILE_WRITE_DATA
    if (read && write) {
        return Access::ReadWrite;
    }
    return write ? Access::Write : Access::Read;
}

// The one transfer algorithm behind the three public names.
template <typename Byte>
bool Transfer(Context& ctx, DevHandle& handle, std::span<Byte> memory, std::size_t offset,
              std::size_t count, std::int64_t position, bool ignoreErrors,
              const TransferNames& names) {
    DeviceFile* file = handle.File();
    if (file == nullptr) {
        if (!ignoreErrors) {
            ErrorReport(ctx, EBADF, names.transferSource, names.transferDescription);
        }
        return false;
    }
    if (position != kCurrentPosition) {
        const int error = position < 0 ? EINVAL : file->Seek(static_cast<std::uint64_t>(position));
        if (error != 0) {
            if (!ignoreErrors) {
                ErrorReport(ctx, error, names.seekSource, kSeekDescription);
            }
            return false;
        }
    }
    // Never move bytes outside the caller's memory.
    if (offset > memory.size() || count > memory.size() - offset) {
        if (!ignoreErrors) {
            ErrorReport(ctx, EINVAL, names.transferSource, names.transferDescription);
        }
        return false;
    }
    IoResult result;
    if constexpr (std::is_const_v<Byte>) {
        result = file->Write(memory.data() + offset, count);
    } else {
        result = file->Read(memory.data() + offset, count);
    }
    if (result.error == 0 && result.bytes == count) {
        return true;
    }
    if (!ignoreErrors) {
        // A short transfer without a system error still failed; say why.
        const int error = result.error != 0 ? result.error : (std::is_const_v<Byte> ? ENOSPC : EIO);
        ErrorReport(ctx, error, names.transferSource, names.transferDescription);
    }
    return false;
}

}  // namespace

DevHandle::~DevHandle() {
    // A handle dropped without CloseDevHandle still reaches the medium; its
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

DevHandle GetHandle(Context& ctx, const std::string& path, std::uint32_t desiredAccess,
                    std::uint32_t /*shareMode*/, std::uint32_t creationDisposition, bool quiet) {
    const Access access = AccessOf(desiredAccess);
    Disposition disposition = Disposition::OpenExisting;
    if (creationDisposition == CREATE_NEW) {
        disposition = Disposition::CreateNew;
    } else if (creationDisposition == CREATE_ALWAYS) {
        disposition = Disposition::CreateAlways;
    }
    OpenResult opened = ctx.devices.Open(path, access, disposition);
    if (opened.file == nullptr) {
        if (!quiet) {
            ErrorReport(ctx, opened.error, "GetHandle",
                        "An error occurred when attempting to get a handle for " + path);
        }
        return DevHandle();
    }
    return DevHandle(std::move(opened.file), access != Access::Read);
}

bool CloseDevHandle(Context& ctx, DevHandle& handle) {
    const bool forWriting = handle.ForWriting();
    std::unique_ptr<DeviceFile> file = handle.Release();
    if (file == nullptr || !forWriting) {
        return true;
    }
    const int error = file->Flush();
    if (error != 0) {
        ErrorReport(ctx, error, "CloseDevHandle.Flush",
                    "An error occurred when attempting to write the data to " + file->Path());
        return false;
    }
    return true;
}

bool fntRead(Context& ctx, DevHandle& handle, std::span<std::byte> buffer, std::size_t index,
             std::size_t count, std::int64_t position, bool ignoreErrors) {
    return Transfer(ctx, handle, buffer, index, count, position, ignoreErrors, kRead);
}

bool fntReadPtr(Context& ctx, DevHandle& handle, std::span<std::byte> memory, std::size_t offset,
                std::size_t count, std::int64_t position, bool ignoreErrors) {
    return Transfer(ctx, handle, memory, offset, count, position, ignoreErrors, kReadPtr);
}

bool fntWritePtr(Context& ctx, DevHandle& handle, std::span<const std::byte> memory,
                 std::size_t offset, std::size_t count, std::int64_t position, bool ignoreErrors) {
    return Transfer(ctx, handle, memory, offset, count, position, ignoreErrors, kWritePtr);
}

bool UnmountVolume(Context& ctx, DevHandle& handle) {
    const int error = handle.File() == nullptr ? EBADF : handle.File()->Dismount();
    if (error != 0) {
        ErrorReport(ctx, error, "UnmountVolume",
                    "An error occurred when attempting to dismount the volume.");
        return false;
    }
    return true;
}

int GetPhysicalDriveNumber(Context& ctx, const std::string& driveLetter) {
    const std::string volume = ctx.drives.VolumePath(driveLetter);
    OpenResult opened = ctx.devices.Open(volume, Access::Read, Disposition::OpenExisting);
    if (opened.file == nullptr) {
        ErrorReport(ctx, SystemTrappedError(ctx, opened.error, "CreateM.OpenFile"),
                    "GetPhysicalDriveNumber.");
        return -1;
    }
    int error = 0;
    const std::optional<PhysicalDrive> disk = ctx.drives.WholeDiskOf(driveLetter, error);
    opened.file.reset();
    if (!disk) {
        ErrorReport(ctx, SystemTrappedError(ctx, error, "CreateM.GetDevNumber"),
                    "GetPhysicalDriveNumber.");
        return -1;
    }
    return disk->number;
}

bool IsFloppyGeometry(DevHandle& handle) {
    return handle.File() != nullptr && handle.File()->HasFloppyGeometry();
}

std::uint32_t CtlCode(std::uint32_t deviceType, std::uint32_t function, std::uint32_t method,
                      std::uint32_t access) {
    return (deviceType << 16) | (access << 14) | (function << 2) | method;
}

}  // namespace quarnex
