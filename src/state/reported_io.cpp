#include "state/reported_io.hpp"

#include <optional>

#include "state/error_report.hpp"

namespace quarnex {

namespace {

// The status's result, after showing its failure unless quiet.
bool Reported(Context& ctx, const Status& status, bool quiet) {
    if (!status.Ok() && !quiet) {
        ErrorReport(ctx, status.Error());
    }
    return status.Ok();
}

}  // namespace

DevHandle GetHandle(Context& ctx, const std::string& path, Access access, Disposition disposition,
                    Reporting reporting) {
    Result<DevHandle> opened = OpenDevice(ctx.devices, path, access, disposition);
    if (!opened) {
        if (reporting == Reporting::Shown) {
            ErrorReport(ctx, opened.Error());
        }
        return DevHandle();
    }
    return std::move(opened).Value();
}

bool CloseDevHandle(Context& ctx, DevHandle& handle) {
    return Reported(ctx, CloseDevice(handle), false);
}

bool CommitDevHandle(Context& ctx, DevHandle& handle) {
    return Reported(ctx, CommitDevice(handle), false);
}

bool FlushDevHandle(Context& ctx, DevHandle& handle) {
    return Reported(ctx, FlushDevice(handle), false);
}

bool ReadSectorAndReport(Context& ctx, DevHandle& handle, std::span<std::byte> buffer,
                         std::size_t index, std::size_t count, std::int64_t position,
                         Reporting reporting) {
    return Reported(ctx, DeviceRead(handle, buffer, index, count, position),
                    reporting == Reporting::Quiet);
}

bool ReadBlockAndReport(Context& ctx, DevHandle& handle, std::span<std::byte> memory,
                        std::size_t offset, std::size_t count, std::int64_t position,
                        Reporting reporting) {
    return Reported(ctx, DeviceReadPtr(handle, memory, offset, count, position),
                    reporting == Reporting::Quiet);
}

bool WriteBlockAndReport(Context& ctx, DevHandle& handle, std::span<const std::byte> memory,
                         std::size_t offset, std::size_t count, std::int64_t position,
                         Reporting reporting) {
    return Reported(ctx, DeviceWritePtr(handle, memory, offset, count, position),
                    reporting == Reporting::Quiet);
}

bool UnmountVolume(Context& ctx, DevHandle& handle) {
    return Reported(ctx, DismountDevice(handle), false);
}

int GetPhysicalDriveNumber(Context& ctx, const std::string& driveLetter) {
    const std::string volume = ctx.drives.VolumePath(driveLetter);
    OpenResult opened = ctx.devices.Open(volume, Access::Read, Disposition::OpenExisting);
    if (opened.file == nullptr) {
        ErrorReport(ctx, CaughtBy(SystemCallError(opened.error, "CreateM.OpenFile", "", volume),
                                  "GetPhysicalDriveNumber."));
        return -1;
    }
    int error = 0;
    const std::optional<PhysicalDrive> disk = ctx.drives.WholeDiskOf(driveLetter, error);
    opened.file.reset();
    if (!disk) {
        ErrorReport(ctx, CaughtBy(SystemCallError(error, "CreateM.GetDevNumber", "", volume),
                                  "GetPhysicalDriveNumber."));
        return -1;
    }
    return disk->number;
}

}  // namespace quarnex
