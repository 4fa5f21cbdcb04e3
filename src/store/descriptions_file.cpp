#include "store/descriptions_file.hpp"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

#include "core/text.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/geometry.hpp"
#include "store/store_paths.hpp"

namespace quarnex {

namespace {

TrappedError FileError(Context& ctx, int error) {
    return SystemTrappedError(ctx, error == 0 ? EIO : error, kFileErrorSource);
}

TrappedError VolumeError(fat12::Status status) {
    const int error = status == fat12::Status::Full ? ENOSPC : EIO;
    return TrappedError{ErrorCode(error), kVolumeErrorSource, fat12::StatusText(status)};
}

// The mount point of the selected store's volume, when it is mounted. A store
// that is a file is never reached through a mount point.
std::optional<std::string> MountPoint(Context& ctx) {
    if (StoreIsFile(ctx)) {
        return std::nullopt;
    }
    const std::vector<std::string> points =
        ctx.drives.MountPoints(ctx.state.SelectedEntry().DevicePath);
    if (points.empty()) {
        return std::nullopt;
    }
    return points.front();
}

// The name as stored in the folder, matched without regard to case.
std::optional<std::string> FindInFolder(const std::string& folder, const std::string& name) {
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
        const std::string stored = item.path().filename().string();
        if (ToUpperAscii(stored) == ToUpperAscii(name)) {
            return folder + "/" + stored;
        }
    }
    return std::nullopt;
}

FileText ReadWholeFile(Context& ctx, const std::string& path) {
    FileText result;
    OpenResult opened = ctx.devices.Open(path, Access::Read, Disposition::OpenExisting);
    if (opened.file == nullptr) {
        result.error = FileError(ctx, opened.error);
        return result;
    }
    result.present = true;
    constexpr std::size_t kChunk = 65536;
    std::vector<std::byte> chunk(kChunk);
    while (true) {
        const IoResult read = opened.file->Read(chunk.data(), kChunk);
        if (read.error != 0) {
            result.error = FileError(ctx, read.error);
            return result;
        }
        result.text.append(reinterpret_cast<const char*>(chunk.data()), read.bytes);
        if (read.bytes < kChunk) {
            return result;
        }
    }
}

int WriteAndFlush(DeviceFile& file, std::uint64_t position, const std::byte* data,
                  std::size_t count) {
    if (const int error = file.Seek(position); error != 0) {
        return error;
    }
    const IoResult written = file.Write(data, count);
    if (written.error != 0) {
        return written.error;
    }
    return written.bytes == count ? 0 : ENOSPC;
}

struct Slot0 {
    std::unique_ptr<DeviceFile> device;
    std::vector<std::byte> image;
    std::optional<TrappedError> error;
};

Slot0 ReadSlot0(Context& ctx, Access access) {
    Slot0 slot;
    OpenResult opened =
        ctx.devices.Open(ctx.state.SelectedEntry().DevicePath, access, Disposition::OpenExisting);
    if (opened.file == nullptr) {
        slot.error = FileError(ctx, opened.error);
        return slot;
    }
    slot.device = std::move(opened.file);
    slot.image.resize(fat12::kVolumeBytes);
    int error = slot.device->Seek(0);
    if (error == 0) {
        const IoResult read = slot.device->Read(slot.image.data(), slot.image.size());
        error = read.error != 0 ? read.error : (read.bytes == slot.image.size() ? 0 : EIO);
    }
    if (error != 0) {
        slot.error = FileError(ctx, error);
    }
    return slot;
}

// Writes the sectors of the volume that changed: file data first, then the
// FATs, then the root directory, so that an interrupted write leaves at worst
// unused clusters behind.
int WriteChangedSectors(DeviceFile& device, const std::vector<std::byte>& before,
                        const std::vector<std::byte>& after) {
    const std::size_t regions[][2] = {{fat12::kDataOffset, fat12::kVolumeBytes},
                                      {fat12::kFatOffset, fat12::kRootOffset},
                                      {fat12::kRootOffset, fat12::kDataOffset}};
    for (const auto& region : regions) {
        std::size_t sector = region[0];
        while (sector < region[1]) {
            const auto differs = [&](std::size_t at) {
                return !std::equal(
                    before.begin() + static_cast<std::ptrdiff_t>(at),
                    before.begin() + static_cast<std::ptrdiff_t>(at + fat12::kBytesPerSector),
                    after.begin() + static_cast<std::ptrdiff_t>(at));
            };
            if (!differs(sector)) {
                sector += fat12::kBytesPerSector;
                continue;
            }
            std::size_t end = sector + fat12::kBytesPerSector;
            while (end < region[1] && differs(end)) {
                end += fat12::kBytesPerSector;
            }
            if (const int error =
                    WriteAndFlush(device, sector, after.data() + sector, end - sector);
                error != 0) {
                return error;
            }
            sector = end;
        }
    }
    return device.Flush();
}

}  // namespace

FileText ReadStoreFile(Context& ctx, const std::string& fileName) {
    if (const auto folder = MountPoint(ctx)) {
        const auto path = FindInFolder(*folder, fileName);
        return path ? ReadWholeFile(ctx, *path) : FileText{};
    }
    Slot0 slot = ReadSlot0(ctx, Access::Read);
    FileText result;
    if (slot.error) {
        result.error = slot.error;
        return result;
    }
    fat12::FileRead read = fat12::ReadRootFile(slot.image, fileName);
    if (read.status == fat12::Status::NotFound) {
        return result;
    }
    result.present = true;
    if (read.status != fat12::Status::Ok) {
        result.error = VolumeError(read.status);
        return result;
    }
    result.text = std::move(read.contents);
    return result;
}

std::optional<TrappedError> WriteStoreFile(Context& ctx, const std::string& fileName,
                                           const std::string& text) {
    if (const auto folder = MountPoint(ctx)) {
        const auto path = FindInFolder(*folder, fileName);
        return WritePlainFile(ctx, path ? *path : *folder + "/" + fileName, text);
    }
    Slot0 slot = ReadSlot0(ctx, Access::ReadWrite);
    if (slot.error) {
        return slot.error;
    }
    std::vector<std::byte> changed = slot.image;
    if (const fat12::Status status = fat12::ReplaceRootFile(changed, fileName, text);
        status != fat12::Status::Ok) {
        return VolumeError(status);
    }
    if (const int error = WriteChangedSectors(*slot.device, slot.image, changed); error != 0) {
        return FileError(ctx, error);
    }
    return std::nullopt;
}

std::optional<TrappedError> WritePlainFile(Context& ctx, const std::string& path,
                                           const std::string& text) {
    OpenResult opened = ctx.devices.Open(path, Access::Write, Disposition::CreateAlways);
    if (opened.file == nullptr) {
        return FileError(ctx, opened.error);
    }
    int error = WriteAndFlush(*opened.file, 0, reinterpret_cast<const std::byte*>(text.data()),
                              text.size());
    if (error == 0) {
        error = opened.file->Flush();
    }
    if (error != 0) {
        return FileError(ctx, error);
    }
    return std::nullopt;
}

}  // namespace quarnex
