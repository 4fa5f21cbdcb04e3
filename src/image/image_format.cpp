#include "image/image_format.hpp"

#include <algorithm>
#include <span>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "fat12/volume_label.hpp"
#include "fat12/volume_serial.hpp"
#include "state/error_report.hpp"
#include "state/local_stamp.hpp"
#include "state/progress.hpp"
#include "state/reported_io.hpp"

namespace quarnex {

namespace {

// The internal image's number among the volumes a serial tells apart: none
// of a store's slots.
constexpr unsigned kInternalImageSerialSlot = 1000;

}  // namespace

void ZeroInternalImage(OperationPorts& ports, std::span<std::byte> image, ImageRecord& record) {
    std::fill(image.begin(), image.end(), std::byte{0});
    ports.progress.Doing(Activity{.kind = ActivityKind::ZeroImage});
    ports.progress.Finished();
    record = {};
}

Outcome FormatInternalImage(OperationPorts& ports, std::span<std::byte> image, ImageRecord& record,
                            const std::string& templatePath, const std::string& id,
                            ImageCaption& caption) {
    ports.progress.Started();
    const LengthResult length = ports.devices.FileLength(templatePath);
    if (!length.length) {
        // A missing template is caught as an error of this procedure, shown
        // with the error's own source only.
        ErrorReport(ports,
                    CaughtBy(SystemCallError(length.error, "FileLen", "", templatePath), ""));
        caption.Unreliable();
        return Outcome::NotStarted;
    }
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(*length.length, kImageBytes));

    Result<DevHandle> handle =
        GetHandle(ports, templatePath, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    if (!handle) {
        return Outcome::NotStarted;
    }
    ports.progress.Doing(Activity{.kind = ActivityKind::FormatImage});
    std::fill(image.begin(), image.end(), std::byte{0});
    const bool read = ReadBlockAndReport(ports, handle.Value(), image, 0, count, kCurrentPosition,
                                         Reporting::Shown)
                          .Ok();

    fat12::WriteVolumeLabel(image, fat12::VolumeIdText(id));  // nothing without an image buffer
    fat12::WriteVolumeSerial(
        image, fat12::VolumeSerialNumber(StampNow(ports.clock), kInternalImageSerialSlot));
    if (read) {
        ports.progress.Finished();
    }
    record = {};
    return read ? Outcome::Complete : Outcome::Incomplete;
}

}  // namespace quarnex
