#pragma once
// The device steps as operations use them: each failure is shown in the
// "Error" message box (unless the caller asks for quiet) and the caller gets
// the status, whose error record goes on into the operation's outcome.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "device/device_io.hpp"
#include "state/operation_ports.hpp"

namespace quarnex {

// Whether a failed open is shown to the user or only returned.
enum class Reporting { Shown, Quiet };

// Opens path; a failure is shown unless quiet.
Result<DevHandle> GetHandle(OperationPorts& ports, const std::string& path, Access access,
                            Disposition disposition, Reporting reporting);

// Closes the handle (nothing for an invalid one). A handle opened for writing
// is flushed first; a failed flush is reported.
Status CloseDevHandle(OperationPorts& ports, DevHandle& handle);
// Puts the data written so far on the medium, the handle staying open; a
// failure is reported and gives false.
Status FlushDevHandle(OperationPorts& ports, DevHandle& handle);
// Closes a handle whose output is complete, putting a replacement in place
// of the old file; a failure is reported.
Status CommitDevHandle(OperationPorts& ports, DevHandle& handle);

// Transfers count bytes between the handle and memory at the given position
// (kCurrentPosition continues where the last transfer ended). Ok only when
// every byte moved; a failure is shown unless quiet.
Status ReadSectorAndReport(OperationPorts& ports, DevHandle& handle, std::span<std::byte> buffer,
                           std::size_t index, std::size_t count, std::int64_t position,
                           Reporting reporting);
Status ReadBlockAndReport(OperationPorts& ports, DevHandle& handle, std::span<std::byte> memory,
                          std::size_t offset, std::size_t count, std::int64_t position,
                          Reporting reporting);
Status WriteBlockAndReport(OperationPorts& ports, DevHandle& handle,
                           std::span<const std::byte> memory, std::size_t offset, std::size_t count,
                           std::int64_t position, Reporting reporting);

// Takes the volume on the handle's device out of use; reported on failure.
Status UnmountVolume(OperationPorts& ports, DevHandle& handle);

// The number of the whole disk a drive lives on, or -1 after a trapped-error
// report.
int GetPhysicalDriveNumber(OperationPorts& ports, const std::string& driveLetter);

}  // namespace quarnex
