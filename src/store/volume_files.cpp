#include "store/volume_files.hpp"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <memory>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "fat12/volume_check.hpp"
#include "fat12/volume_editor.hpp"
#include "state/local_stamp.hpp"
#include "state/output_guard.hpp"
#include "store/volume_writer.hpp"

namespace quarnex {

namespace {

FilesResult Failed(FilesFailure failure, int error, std::string name = {}) {
    FilesResult result;
    result.failure = failure;
    result.error = error == 0 ? EIO : error;
    result.name = std::move(name);
    return result;
}

FilesResult Refused(fat12::Status status, std::string detail, std::string name) {
    FilesResult result;
    result.failure = FilesFailure::Volume;
    result.status = status;
    result.detail = std::move(detail);
    result.name = std::move(name);
    return result;
}

// The volume as read, and the device it lies on.
struct OpenedVolume {
    std::unique_ptr<DeviceFile> device;
    std::uint64_t base = 0;
    std::vector<std::byte> image;
    FilesResult result;
};

bool IsMountedSlot0(OperationPorts& ports, const VolumeTarget& target) {
    std::error_code ec;
    return target.slot == 0 && !std::filesystem::is_regular_file(target.path, ec) &&
           !ports.drives.MountPoints(target.path).empty();
}

OpenedVolume OpenVolume(OperationPorts& ports, const VolumeTarget& target, bool write) {
    OpenedVolume volume;
    if (write && IsMountedSlot0(ports, target)) {
        // The mounted file system caches the volume: raw writes would be
        // lost or undone, or corrupt it.
        volume.result =
            Failed(FilesFailure::Mounted, EBUSY, ports.drives.MountPoints(target.path).front());
        return volume;
    }
    std::uint64_t size = kSlotStride;  // a slot's volume may take the whole slot
    if (target.slot) {
        volume.base = SlotOffset(*target.slot);
    } else {
        const LengthResult length = ports.devices.FileLength(target.path);
        if (!length.length) {
            volume.result = Failed(FilesFailure::Open, length.error, target.path);
            return volume;
        }
        if (*length.length > kLargestImageFile) {
            volume.result = Failed(FilesFailure::TooLarge, EFBIG, target.path);
            return volume;
        }
        size = *length.length;
    }
    OpenResult opened = ports.devices.Open(target.path, write ? Access::ReadWrite : Access::Read,
                                           Disposition::OpenExisting);
    if (opened.file == nullptr) {
        volume.result = Failed(FilesFailure::Open, opened.error, target.path);
        return volume;
    }
    volume.device = std::move(opened.file);
    volume.image.resize(size);
    int error = volume.device->Seek(volume.base);
    if (error == 0) {
        const IoResult read = volume.device->Read(volume.image.data(), size);
        error = read.error != 0 ? read.error : (read.bytes == size ? 0 : EIO);
    }
    if (error != 0) {
        volume.result = Failed(FilesFailure::Open, error, target.path);
    }
    return volume;
}

// Puts batches of merged changes on the medium, one after another.
FilesResult WriteBatches(OpenedVolume& volume, const std::vector<fat12::ReplaceStages>& batches) {
    for (const fat12::ReplaceStages& batch : batches) {
        if (const int error = WriteStages(*volume.device, volume.base, volume.image, batch);
            error != 0) {
            return Failed(FilesFailure::Write, error);
        }
    }
    return {};
}

struct HostFile {
    std::string contents;
    std::optional<fat12::Stamp> modified;
    FilesResult result;
};

// The modification time of a host file as the volume stores it.
std::optional<fat12::Stamp> ModifiedStamp(OperationPorts& ports, const std::string& path) {
    std::error_code ec;
    const auto written = std::filesystem::last_write_time(path, ec);
    if (ec) {
        return std::nullopt;
    }
    const auto since1970 = std::chrono::file_clock::to_sys(written).time_since_epoch();
    const LocalDateTime local =
        ports.clock.Local(std::chrono::duration_cast<std::chrono::seconds>(since1970).count());
    return fat12::MakeStamp(local.year, local.month, local.day, local.hour, local.minute,
                            local.second);
}

// A regular file (a link followed) of the size it says, or with whole set
// anything that can be read to its end; a pipe or device is never opened
// otherwise, since opening one may wait for a writer.
HostFile ReadHostFile(OperationPorts& ports, const std::string& path, bool whole) {
    HostFile file;
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (!whole && !ec && !std::filesystem::is_regular_file(status)) {
        file.result = Failed(FilesFailure::NotAFile, EINVAL, path);
        return file;
    }
    OpenResult opened = ports.devices.Open(path, Access::Read, Disposition::OpenExisting);
    const LengthResult length =
        whole ? LengthResult{kLargestImageFile, 0} : ports.devices.FileLength(path);
    if (opened.file == nullptr || !length.length) {
        file.result =
            Failed(FilesFailure::Source, opened.error ? opened.error : length.error, path);
        return file;
    }
    if (*length.length > kLargestImageFile) {
        file.result = Failed(FilesFailure::TooBig, EFBIG, path);
        return file;
    }
    // One byte more than the size: a file that holds more (a /proc file, or
    // one being written) is not taken for what its size says.
    file.contents.resize(*length.length + 1);
    const IoResult read =
        opened.file->Read(reinterpret_cast<std::byte*>(file.contents.data()), file.contents.size());
    if (read.error != 0) {
        file.result = Failed(FilesFailure::Source, read.error, path);
    } else if (read.bytes > *length.length) {
        file.result = Failed(whole ? FilesFailure::TooBig : FilesFailure::NotAFile, EINVAL, path);
    } else if (!whole && read.bytes != *length.length) {
        file.result = Failed(FilesFailure::Source, EIO, path);
    }
    file.contents.resize(read.bytes);
    return file;
}

}  // namespace

std::string PathInFolder(const std::string& folder, const std::string& hostFile) {
    const std::string name = std::filesystem::path(hostFile).filename().string();
    return folder.empty() ? name : folder + "/" + name;
}

std::string PutPath(const PutRequest& request, std::size_t i) {
    if (request.name.empty()) {
        return PathInFolder(request.folder, request.files[i]);
    }
    return request.folder.empty() ? request.name : request.folder + "/" + request.name;
}

FolderListing ListVolumeFolder(OperationPorts& ports, const VolumeTarget& target,
                               const std::string& path) {
    FolderListing listing;
    const OpenedVolume volume = OpenVolume(ports, target, false);
    if (!volume.result.Ok()) {
        listing.result = volume.result;
        return listing;
    }
    fat12::Listing read = fat12::ListDirectory(volume.image, path);
    if (read.status != fat12::Status::Ok) {
        listing.result = Refused(read.status, read.detail, path);
        return listing;
    }
    listing.items = std::move(read.items);
    listing.freeBytes = fat12::FreeBytes(volume.image);
    return listing;
}

FilesResult CopyFileOut(OperationPorts& ports, const VolumeTarget& target, const std::string& path,
                        const std::string& destination) {
    const OpenedVolume volume = OpenVolume(ports, target, false);
    if (!volume.result.Ok()) {
        return volume.result;
    }
    const fat12::FileRead read = fat12::ReadFile(volume.image, path);
    if (read.status != fat12::Status::Ok) {
        return Refused(read.status, read.detail, path);
    }
    if (std::string problem = OutputProblem(ports, destination, read.contents.size());
        !problem.empty()) {
        FilesResult refused = Failed(FilesFailure::Target, 0, destination);
        refused.detail = std::move(problem);
        return refused;
    }
    // A stop part way leaves the destination as it was.
    OpenResult opened = ports.devices.Open(destination, Access::Write, Disposition::Replace);
    if (opened.file == nullptr) {
        return Failed(FilesFailure::Target, opened.error, destination);
    }
    const IoResult written = opened.file->Write(
        reinterpret_cast<const std::byte*>(read.contents.data()), read.contents.size());
    int error =
        written.error != 0 ? written.error : (written.bytes == read.contents.size() ? 0 : ENOSPC);
    if (error == 0) {
        error = opened.file->Commit();
    }
    if (error != 0) {
        return Failed(FilesFailure::Target, error, destination);
    }
    return {};
}

FilesResult PutFiles(OperationPorts& ports, const VolumeTarget& target, const PutRequest& request) {
    // Everything is read and staged before the first byte is written.
    std::vector<HostFile> files;
    for (const std::string& path : request.files) {
        files.push_back(ReadHostFile(ports, path, !request.name.empty()));
        if (!files.back().result.Ok()) {
            return files.back().result;
        }
        if (request.keepTime) {
            files.back().modified = ModifiedStamp(ports, path);
        }
    }
    OpenedVolume volume = OpenVolume(ports, target, true);
    if (!volume.result.Ok()) {
        return volume.result;
    }
    fat12::VolumeEditor editor(volume.image);
    if (editor.CheckStatus() != fat12::Status::Ok) {
        return Refused(editor.CheckStatus(), editor.CheckDetail(), {});
    }
    const fat12::Stamp now = StampNow(ports.clock);
    FilesResult result;
    std::vector<fat12::ReplaceStages> batches(1);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string path = PutPath(request, i);
        fat12::ReplaceStages stages =
            editor.WriteFile(path, files[i].contents, now, files[i].modified);
        const bool lacksRoom =
            stages.status == fat12::Status::Full || stages.status == fat12::Status::NoRoomBeside;
        if (lacksRoom && !batches.back().stages.empty()) {
            // The clusters the batch frees are free once it is on the medium.
            editor.NewBatch();
            batches.emplace_back();
            stages = editor.WriteFile(path, files[i].contents, now, files[i].modified);
        }
        if (stages.status != fat12::Status::Ok) {
            return Refused(stages.status, stages.detail, path);
        }
        if (stages.replaces && !request.replace) {
            result.existing.push_back(path);
        }
        fat12::MergeStages(batches.back(), std::move(stages));
    }
    if (!result.existing.empty()) {
        return result;
    }
    result = WriteBatches(volume, batches);
    if (!result.Ok() || request.readBack == ReadBack::Off) {
        return result;
    }
    // The stages were flushed as they went; the whole volume is read back.
    std::vector<std::byte> scratch(volume.image.size());
    const MediumCheck check = CompareWithMedium(*volume.device, volume.base, volume.image, scratch);
    if (check.error != 0) {
        return Failed(FilesFailure::ReadBack, check.error);
    }
    if (check.difference) {
        result = Failed(FilesFailure::ReadBack, EIO);
        result.detail = FormatThousands(static_cast<std::int64_t>(*check.difference));
    }
    return result;
}

FilesResult RemoveFiles(OperationPorts& ports, const VolumeTarget& target,
                        const std::vector<std::string>& paths) {
    OpenedVolume volume = OpenVolume(ports, target, true);
    if (!volume.result.Ok()) {
        return volume.result;
    }
    // A removal allocates nothing, so all of them go in one batch: every
    // entry first, then every chain.
    fat12::VolumeEditor editor(volume.image);
    fat12::ReplaceStages batch;
    for (const std::string& path : paths) {
        fat12::ReplaceStages stages = editor.Remove(path);
        if (stages.status != fat12::Status::Ok) {
            return Refused(stages.status, stages.detail, path);
        }
        fat12::MergeStages(batch, std::move(stages));
    }
    return WriteBatches(volume, {batch});
}

FilesResult MakeVolumeFolder(OperationPorts& ports, const VolumeTarget& target,
                             const std::string& path, ParentFolders parents) {
    OpenedVolume volume = OpenVolume(ports, target, true);
    if (!volume.result.Ok()) {
        return volume.result;
    }
    fat12::VolumeEditor editor(volume.image);
    const fat12::Stamp now = StampNow(ports.clock);
    // Each folder in a batch of its own, the parent's on the medium first.
    std::vector<fat12::ReplaceStages> batches;
    const std::vector<std::string> parts = fat12::SplitPath(path);
    if (parts.empty()) {
        return Refused(fat12::Status::BadName, {}, path);
    }
    std::string made;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        made += (made.empty() ? "" : "/") + parts[i];
        if (parents == ParentFolders::MustExist && i + 1 < parts.size()) {
            continue;
        }
        fat12::ReplaceStages stages = editor.MakeFolder(made, now);
        if (parents == ParentFolders::Made && stages.status == fat12::Status::Exists) {
            if (fat12::ListDirectory(editor.Image(), made).status == fat12::Status::Ok) {
                continue;  // a folder of that name is there already
            }
            if (i + 1 < parts.size()) {
                return Refused(fat12::Status::NotAFolder, {}, made);
            }
        }
        if (stages.status != fat12::Status::Ok) {
            return Refused(stages.status, stages.detail, made);
        }
        editor.NewBatch();
        batches.push_back(std::move(stages));
    }
    return WriteBatches(volume, batches);
}

}  // namespace quarnex
