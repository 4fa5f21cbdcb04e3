#include "image/image_format.hpp"

#include <algorithm>
#include <span>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "fat12/volume_label.hpp"
#include "fat12/volume_serial.hpp"
#include "image/image_label.hpp"
#include "state/error_report.hpp"
#include "state/local_stamp.hpp"
#include "state/progress.hpp"
#include "state/reported_io.hpp"
#include "state/status.hpp"

namespace quarnex {

namespace {

// The internal image's number among the volumes a serial tells apart: none
// of a store's slots.
constexpr unsigned kInternalImageSerialSlot = 1000;

// After zeroing or formatting the image has no source and no description.
void ForgetSource(Context& ctx, ImageSource kind) {
    ctx.state.imageSource = kind;
    ctx.state.slotTable.internalImage = {};
}

}  // namespace

void ZeroInternalImage(Context& ctx) {
    std::span<std::byte> image = ctx.state.imageBuffer.Span();
    std::fill(image.begin(), image.end(), std::byte{0});
    ctx.progress.Doing(Activity{.kind = ActivityKind::ZeroImage});
    SetBufferLabel(ctx, "Zeroed", false);
    ctx.progress.Finished();
    ForgetSource(ctx, SourceZeroed);
}

Outcome FormatInternalImage(Context& ctx, const std::string& id) {
    ctx.progress.Started();
    const std::string templatePath = ctx.state.appFolder + kFat12TemplatePath;
    const LengthResult length = ctx.devices.FileLength(templatePath);
    if (!length.length) {
        // A missing template is caught as an error of this procedure, shown
        // with the error's own source only.
        ErrorReport(ctx, CaughtBy(SystemCallError(length.error, "FileLen", "", templatePath), ""));
        SetBufferLabel(ctx, kUnreliableImageCaption, true);
        return Outcome::NotStarted;
    }
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(*length.length, kImageBytes));

    DevHandle handle =
        GetHandle(ctx, templatePath, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    if (!handle.Valid()) {
        return Outcome::NotStarted;
    }
    ctx.progress.Doing(Activity{.kind = ActivityKind::FormatImage});
    std::span<std::byte> image = ctx.state.imageBuffer.Span();
    std::fill(image.begin(), image.end(), std::byte{0});
    const bool read =
        ReadBlockAndReport(ctx, handle, image, 0, count, kCurrentPosition, Reporting::Shown);
    CloseDevHandle(ctx, handle);

    const std::string label = fat12::VolumeIdText(id);
    fat12::WriteVolumeLabel(image, label);  // does nothing without an image buffer
    fat12::WriteVolumeSerial(
        image, fat12::VolumeSerialNumber(StampNow(ctx.clock), kInternalImageSerialSlot));
    if (read) {
        const bool blank = label == std::string(fat12::kLabelBytes, ' ');
        SetBufferLabel(ctx, "FAT12 / ID = [" + (blank ? std::string(kNoLabelText) : label) + "]",
                       false);
        ctx.progress.Finished();
    } else {
        SetBufferLabel(ctx, kUnreliableImageCaption, true);
    }
    ForgetSource(ctx, SourceFormatted);
    return read ? Outcome::Complete : Outcome::Incomplete;
}

}  // namespace quarnex
