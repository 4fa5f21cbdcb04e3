#include "store/format_usb.hpp"

#include <algorithm>
#include <array>
#include <optional>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "fat12/volume_label.hpp"
#include "fat12/volume_serial.hpp"
#include "state/error_report.hpp"
#include "state/local_stamp.hpp"
#include "state/progress.hpp"
#include "state/reported_io.hpp"
#include "store/descriptions_file.hpp"
#include "store/store_write_access.hpp"
#include "store/unit_loop.hpp"
#include "store/write_mark.hpp"

namespace quarnex {

namespace {

constexpr const char* kFormatTag = "QrnMfntFormatUSB.";

// Zeros and the template's first bytes in transferBuffer. False after a
// report when the template cannot be read in full: then nothing is written.
bool LoadTemplate(Context& ctx) {
    const std::string path = ctx.state.appFolder + "QuarnCfg/FAT12.144";
    const LengthResult length = ctx.devices.FileLength(path);
    if (!length.length) {
        ErrorReport(
            ctx, CaughtBy(SystemCallError(length.error, kFileErrorSource, "", path), kFormatTag));
        return false;
    }
    const std::size_t bytes =
        static_cast<std::size_t>(std::min<std::uint64_t>(*length.length, kImageBytes));
    DevHandle templateFile =
        GetHandle(ctx, path, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    if (!templateFile.Valid()) {
        return false;
    }
    AlignedBuffer& buffer = ctx.state.transferBuffer;
    std::fill_n(buffer.Data(), buffer.Size(), std::byte{0});
    const bool read = ReadBlockAndReport(ctx, templateFile, buffer.Span(), 0, bytes,
                                         kCurrentPosition, Reporting::Shown);
    CloseDevHandle(ctx, templateFile);
    return read;
}

// Slot n's label and serial number into the volume in transferBuffer.
void NameSlot(Context& ctx, int slot, const std::string& label, const fat12::Stamp& formatted) {
    fat12::WriteVolumeLabel(ctx.state.transferBuffer.Span(), label);
    fat12::WriteVolumeSerial(ctx.state.transferBuffer.Span(),
                             fat12::VolumeSerialNumber(formatted, static_cast<unsigned>(slot)));
}

// Slots 1..999 in order; complete when every one was written and no cancel
// came. The shown progress stops short of "Finished" until the data is on the
// medium.
OperationResult FormatSlots(Context& ctx, DevHandle& device, const std::string& baseId, bool append,
                            const fat12::Stamp& formatted) {
    ProgramState& state = ctx.state;
    AlignedBuffer& buffer = state.transferBuffer;
    const std::string& letter = state.SelectedEntry().name;
    constexpr long kLastSlot = kSlotCount - 1;
    for (int slot = 1; slot <= kLastSlot; ++slot) {
        ctx.progress.Doing(
            Activity{.kind = ActivityKind::FormatSlot, .slot = slot, .device = letter});
        NameSlot(ctx, slot, FormatLabel(slot, "", baseId, append), formatted);
        const bool written =
            WriteBlockAndReport(ctx, device, buffer.Span(), 0, kSlotStride,
                                static_cast<std::int64_t>(SlotOffset(slot)), Reporting::Shown);
        if (const UnitStep step = AfterTransfer(ctx.progress, written); step != UnitStep::Done) {
            if (step == UnitStep::Cancelled) {
                ctx.progress.Cancelled();
                return OperationResult::StoppedAt(slot, StopCause::Cancel);
            }
            return OperationResult::StoppedAt(slot, StopCause::Failure);
        }
        ctx.progress.UnitDone(std::min<long>(slot, LastUnitBeforeFinished(kLastSlot)), kLastSlot);
    }
    return OperationResult::Done();
}

// Slots 1..last lose their descriptions and sources with their images; only
// once they are written, so that the grid keeps showing the store it formats.
void ForgetSlotTexts(SlotTable& table, int last) {
    for (int slot = 1; slot <= last; ++slot) {
        table.SetDescription(slot, "");
        table.SetSource(slot, "");
    }
}

}  // namespace

std::string FormatLabel(int slot, const std::string& deviceId, const std::string& baseId,
                        bool append) {
    // Cut by characters, never inside one, so a typed accent cannot leave a
    // broken byte sequence in the label.
    if (slot == 0) {
        return fat12::VolumeIdText(TrimSpaces(FirstCharacters(deviceId, fat12::kLabelBytes)));
    }
    if (append) {
        return fat12::VolumeIdText(FirstCharacters(baseId, kNumberedBaseChars) + ThreeDigits(slot));
    }
    return fat12::VolumeIdText(baseId);
}

OperationResult FormatStore(Context& ctx, const FormatRequest& request) {
    ProgramState& state = ctx.state;
    ctx.progress.Started();
    ctx.progress.Doing(Activity{});
    if (state.selectedDevice == 0) {
        return OperationResult::NotStarted(NotStartedReason::NoTarget);
    }
    const fat12::Stamp formatted = StampNow(ctx.clock);
    if (!LoadTemplate(ctx)) {
        return OperationResult::NotStarted(NotStartedReason::Failure);
    }
    BusyGuard busy(ctx.progress);
    std::optional<StoreWriteHandles> store = OpenStoreForWriting(ctx, ctx.state.SelectedEntry());
    if (!store) {
        return OperationResult::NotStarted(NotStartedReason::Failure);
    }
    busy.Enter();
    const std::string& baseId = request.baseId;
    const bool numbered = request.numbered;
    state.slotTable.baseId =
        FirstCharacters(baseId, numbered ? kNumberedBaseChars : fat12::kLabelBytes);
    state.slotTable.baseIdNumbered = numbered;
    state.slotTable.baseIdPresent = true;

    // Slot 0's new first sector, marked, reaches the medium before any slot
    // changes; it keeps the store findable by a scan while the rest is
    // rewritten.
    AlignedBuffer& buffer = state.transferBuffer;
    NameSlot(ctx, 0, FormatLabel(0, request.storeId, baseId, numbered), formatted);
    std::array<std::byte, kSectorBytes> clean{};
    std::copy_n(buffer.Data(), kSectorBytes, clean.begin());
    std::array<std::byte, kSectorBytes> marked = clean;
    PutWriteMark(marked);
    OperationResult result = WriteFirstSector(ctx, store->device, marked)
                                 ? FormatSlots(ctx, store->device, baseId, numbered, formatted)
                                 : OperationResult::StoppedAt(0, StopCause::Failure);
    ForgetSlotTexts(state.slotTable, result.Complete() ? kSlotCount - 1 : result.unit);
    if (result.outcome != Outcome::Incomplete || result.unit != 0) {
        // Slot 0 last, whatever ended the loop: the store keeps a readable
        // volume, still marked.
        NameSlot(ctx, 0, FormatLabel(0, request.storeId, baseId, numbered), formatted);
        std::copy(marked.begin(), marked.end(), buffer.Data());
        const bool slotZeroWritten = WriteBlockAndReport(ctx, store->device, buffer.Span(), 0,
                                                         kSlotStride, 0, Reporting::Shown) &&
                                     FlushDevHandle(ctx, store->device);
        result = AfterFlush(result, slotZeroWritten, kSlotCount - 1);
        std::copy(clean.begin(), clean.end(), buffer.Data());
    }
    // Only a format that wrote every slot clears the mark, as its last step.
    if (result.Complete()) {
        result = AfterFlush(result, WriteFirstSector(ctx, store->device, clean), kSlotCount - 1);
    }
    result = AfterFlush(result, CloseStore(ctx, *store, CloseOrder::VolumeFirst), kSlotCount - 1);
    if (result.Complete()) {
        ctx.progress.Finished();
    }
    return result;
}

std::string FormatDialogId(const std::string& typed) {
    return ToUpperLabel(FirstCharacters(typed, fat12::kLabelBytes));
}

}  // namespace quarnex
