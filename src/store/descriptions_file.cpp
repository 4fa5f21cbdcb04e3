#include "store/descriptions_file.hpp"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <utility>
#include <vector>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "fat12/fat12_volume.hpp"
#include "state/local_stamp.hpp"
#include "store/store_paths.hpp"
#include "store/volume_writer.hpp"

namespace quarnex {

namespace {

ErrorRecord FileError(int error, const std::string& path) {
    return SystemCallError(error == 0 ? EIO : error, kFileErrorSource, "", path);
}

ErrorRecord VolumeError(fat12::Status status, const std::string& detail) {
    const bool lacksRoom = status == fat12::Status::Full || status == fat12::Status::NoRoomBeside ||
                           status == fat12::Status::RootFull;
    ErrorRecord error = SystemCallError(lacksRoom ? ENOSPC : EIO, kVolumeErrorSource, "");
    error.cause = fat12::StatusText(status, detail);
    return error;
}

// The mount point of the store's volume, when it is mounted. A store that is
// a file is never reached through a mount point.
std::optional<std::string> MountPoint(OperationPorts& ports, const DeviceEntry& store) {
    if (StoreIsFile(ports, store)) {
        return std::nullopt;
    }
    const std::vector<std::string> points = ports.drives.MountPoints(store.path);
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

FileText ReadWholeFile(OperationPorts& ports, const std::string& path) {
    FileText result;
    OpenResult opened = ports.devices.Open(path, Access::Read, Disposition::OpenExisting);
    if (opened.file == nullptr) {
        result.error = FileError(opened.error, path);
        return result;
    }
    result.present = true;
    constexpr std::size_t kChunk = 65536;
    std::vector<std::byte> chunk(kChunk);
    while (true) {
        const IoResult read = opened.file->Read(chunk.data(), kChunk);
        if (read.error != 0) {
            result.error = FileError(read.error, path);
            return result;
        }
        result.text.append(reinterpret_cast<const char*>(chunk.data()), read.bytes);
        if (read.bytes < kChunk) {
            return result;
        }
    }
}

// Writes all count bytes at position; flushing is the caller's step.
int WriteAt(DeviceFile& file, std::uint64_t position, const std::byte* data, std::size_t count) {
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
    std::optional<ErrorRecord> error;
};

Slot0 ReadSlot0(OperationPorts& ports, const std::string& store, Access access) {
    Slot0 slot;
    OpenResult opened = ports.devices.Open(store, access, Disposition::OpenExisting);
    if (opened.file == nullptr) {
        slot.error = FileError(opened.error, store);
        return slot;
    }
    slot.device = std::move(opened.file);
    slot.image.resize(kSlotStride);  // the volume may take the whole slot
    int error = slot.device->Seek(0);
    if (error == 0) {
        const IoResult read = slot.device->Read(slot.image.data(), slot.image.size());
        error = read.error != 0 ? read.error : (read.bytes == slot.image.size() ? 0 : EIO);
    }
    if (error != 0) {
        slot.error = FileError(error, store);
    }
    return slot;
}

}  // namespace

FileText ReadStoreFile(OperationPorts& ports, const DeviceEntry& store,
                       const std::string& fileName) {
    if (const auto folder = MountPoint(ports, store)) {
        const auto path = FindInFolder(*folder, fileName);
        std::error_code error;
        if (path && std::filesystem::is_directory(*path, error)) {
            return FileText{true, true, {}, VolumeError(fat12::Status::IsAFolder, {})};
        }
        return path ? ReadWholeFile(ports, *path) : FileText{};
    }
    Slot0 slot = ReadSlot0(ports, store.path, Access::Read);
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
    result.folder = read.status == fat12::Status::IsAFolder;
    if (read.status != fat12::Status::Ok) {
        result.error = VolumeError(read.status, read.detail);
        return result;
    }
    result.text = std::move(read.contents);
    return result;
}

Status WriteStoreFile(OperationPorts& ports, const DeviceEntry& store, const std::string& fileName,
                      const std::string& text) {
    if (const auto folder = MountPoint(ports, store)) {
        const auto path = FindInFolder(*folder, fileName);
        return WritePlainFile(ports, path ? *path : *folder + "/" + fileName, text);
    }
    Slot0 slot = ReadSlot0(ports, store.path, Access::ReadWrite);
    if (slot.error) {
        return Failure{*slot.error};
    }
    const fat12::ReplaceStages stages =
        fat12::StageRootFileReplace(slot.image, fileName, text, StampNow(ports.clock));
    if (stages.status != fat12::Status::Ok) {
        return Failure{VolumeError(stages.status, stages.detail)};
    }
    if (const int error = WriteStages(*slot.device, 0, slot.image, stages); error != 0) {
        return Failure{FileError(error, slot.device->Path())};
    }
    return {};
}

Status WritePlainFile(OperationPorts& ports, const std::string& path, const std::string& text) {
    OpenResult opened = ports.devices.Open(path, Access::Write, Disposition::Replace);
    if (opened.file == nullptr) {
        return Failure{FileError(opened.error, path)};
    }
    int error =
        WriteAt(*opened.file, 0, reinterpret_cast<const std::byte*>(text.data()), text.size());
    if (error == 0) {
        error = opened.file->Commit();
    }
    if (error != 0) {
        return Failure{FileError(error, path)};
    }
    return {};
}

}  // namespace quarnex
