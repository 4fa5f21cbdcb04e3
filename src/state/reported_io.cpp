#include "state/reported_io.hpp"

#include <optional>

#include "state/error_report.hpp"

namespace quarnex {

namespace {

// The status, after showing its failure unless quiet.
Status Reported(OperationPorts& ports, Status status, bool quiet) {
    if (!status.Ok() && !quiet) {
        ErrorReport(ports, status.Error());
    }
    return status;
}

}  // namespace

Result<DevHandle> GetHandle(OperationPorts& ports, const std::string& path, Access access,
                            Disposition disposition, Reporting reporting) {
    Result<DevHandle> opened = OpenDevice(ports.devices, path, access, disposition);
    if (!opened && reporting == Reporting::Shown) {
        ErrorReport(ports, opened.Error());
    }
    return opened;
}

Status CloseDevHandle(OperationPorts& ports, DevHandle& handle) {
    return Reported(ports, CloseDevice(handle), false);
}

Status CommitDevHandle(OperationPorts& ports, DevHandle& handle) {
    return Reported(ports, CommitDevice(handle), false);
}

Status FlushDevHandle(OperationPorts& ports, DevHandle& handle) {
    return Reported(ports, FlushDevice(handle), false);
}

Status ReadSectorAndReport(OperationPorts& ports, DevHandle& handle, std::span<std::byte> buffer,
                           std::size_t index, std::size_t count, std::int64_t position,
                           Reporting reporting) {
    return Reported(ports, DeviceRead(handle, buffer, index, count, position),
                    reporting == Reporting::Quiet);
}

Status ReadBlockAndReport(OperationPorts& ports, DevHandle& handle, std::span<std::byte> memory,
                          std::size_t offset, std::size_t count, std::int64_t position,
                          Reporting reporting) {
    return Reported(ports, DeviceReadPtr(handle, memory, offset, count, position),
                    reporting == Reporting::Quiet);
}

Status WriteBlockAndReport(OperationPorts& ports, DevHandle& handle,
                           std::span<const std::byte> memory, std::size_t offset, std::size_t count,
                           std::int64_t position, Reporting reporting) {
    return Reported(ports, DeviceWritePtr(handle, memory, offset, count, position),
                    reporting == Reporting::Quiet);
}

Status UnmountVolume(OperationPorts& ports, DevHandle& handle) {
    return Reported(ports, DismountDevice(handle), false);
}

int GetPhysicalDriveNumber(OperationPorts& ports, const std::string& driveLetter) {
    const std::string volume = ports.drives.VolumePath(driveLetter);
    OpenResult opened = ports.devices.Open(volume, Access::Read, Disposition::OpenExisting);
    if (opened.file == nullptr) {
        ErrorReport(ports, CaughtBy(SystemCallError(opened.error, "CreateM.OpenFile", "", volume),
                                    "GetPhysicalDriveNumber."));
        return -1;
    }
    int error = 0;
    const std::optional<PhysicalDrive> disk = ports.drives.WholeDiskOf(driveLetter, error);
    opened.file.reset();
    if (!disk) {
        ErrorReport(ports, CaughtBy(SystemCallError(error, "CreateM.GetDevNumber", "", volume),
                                    "GetPhysicalDriveNumber."));
        return -1;
    }
    return disk->number;
}

}  // namespace quarnex
