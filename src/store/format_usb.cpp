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

// Zeros and the template's first bytes in buffer. Fails after a report when
// the template cannot be read in full: then nothing is written.
Status LoadTemplate(OperationPorts& ports, const std::string& path, std::span<std::byte> buffer) {
    const LengthResult length = ports.devices.FileLength(path);
    if (!length.length) {
        ErrorRecord error =
            CaughtBy(SystemCallError(length.error, kFileErrorSource, "", path), kFormatTag);
        ErrorReport(ports, error);
        return Failure{std::move(error)};
    }
    const std::size_t bytes =
        static_cast<std::size_t>(std::min<std::uint64_t>(*length.length, kImageBytes));
    Result<DevHandle> templateFile =
        GetHandle(ports, path, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    if (!templateFile) {
        return Failure{templateFile.Error()};
    }
    std::fill(buffer.begin(), buffer.end(), std::byte{0});
    return ReadBlockAndReport(ports, templateFile.Value(), buffer, 0, bytes, kCurrentPosition,
                              Reporting::Shown);
}

// Slot n's label and serial number into the volume in buffer.
void NameSlot(std::span<std::byte> buffer, int slot, const std::string& label,
              const fat12::Stamp& formatted) {
    fat12::WriteVolumeLabel(buffer, label);
    fat12::WriteVolumeSerial(buffer,
                             fat12::VolumeSerialNumber(formatted, static_cast<unsigned>(slot)));
}

// Slots 1..999 in order; complete when every one was written and no cancel
// came. The shown progress stops short of "Finished" until the data is on the
// medium.
OperationResult FormatSlots(OperationPorts& ports, DevHandle& device, const StoreFormat& format,
                            const fat12::Stamp& formatted, const std::string& letter) {
    const std::span<std::byte> buffer = format.slotBuffer;
    const std::string& baseId = format.request.baseId;
    const bool append = format.request.numbered;
    constexpr long kLastSlot = kSlotCount - 1;
    for (int slot = 1; slot <= kLastSlot; ++slot) {
        ports.progress.Doing(
            Activity{.kind = ActivityKind::FormatSlot, .slot = slot, .device = letter});
        NameSlot(buffer, slot, FormatLabel(slot, "", baseId, append), formatted);
        const Status written =
            WriteBlockAndReport(ports, device, buffer, 0, kSlotStride,
                                static_cast<std::int64_t>(SlotOffset(slot)), Reporting::Shown);
        if (UnitStep step = AfterTransfer(ports.progress, written);
            step.end != UnitStep::End::Done) {
            if (step.end == UnitStep::End::Cancelled) {
                ports.progress.Cancelled();
                return OperationResult::CancelledAt(slot);
            }
            return OperationResult::FailedAt(slot, std::move(*step.error));
        }
        ports.progress.UnitDone(std::min<long>(slot, LastUnitBeforeFinished(kLastSlot)), kLastSlot);
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

OperationResult FormatStore(OperationPorts& ports, StoreInUse target, const StoreFormat& format) {
    const FormatRequest& request = format.request;
    ports.progress.Started();
    ports.progress.Doing(Activity{});
    const fat12::Stamp formatted = StampNow(ports.clock);
    if (Status loaded = LoadTemplate(ports, format.templatePath, format.slotBuffer); !loaded) {
        return OperationResult::NotStarted(loaded.Error());
    }
    BusyGuard busy(ports.progress);
    Result<StoreWriteHandles> opened = OpenStoreForWriting(ports, target.device);
    if (!opened) {
        return OperationResult::NotStarted(opened.Error());
    }
    StoreWriteHandles* store = &opened.Value();
    busy.Enter();
    const std::string& baseId = request.baseId;
    const bool numbered = request.numbered;
    SlotTable& table = target.records;
    table.baseId = FirstCharacters(baseId, numbered ? kNumberedBaseChars : fat12::kLabelBytes);
    table.baseIdNumbered = numbered;
    table.baseIdPresent = true;

    // Slot 0's new first sector, marked, reaches the medium before any slot
    // changes; it keeps the store findable by a scan while the rest is
    // rewritten.
    const std::span<std::byte> buffer = format.slotBuffer;
    NameSlot(buffer, 0, FormatLabel(0, request.storeId, baseId, numbered), formatted);
    std::array<std::byte, kSectorBytes> clean{};
    std::copy_n(buffer.begin(), kSectorBytes, clean.begin());
    std::array<std::byte, kSectorBytes> marked = clean;
    PutWriteMark(marked);
    const Status markedWritten = WriteFirstSector(ports, store->device, marked);
    OperationResult result =
        markedWritten ? FormatSlots(ports, store->device, format, formatted, target.device.name)
                      : OperationResult::FailedAt(0, markedWritten.Error());
    ForgetSlotTexts(table, result.Complete() ? kSlotCount - 1 : result.unit);
    if (result.outcome != Outcome::Incomplete || result.unit != 0) {
        // Slot 0 last, whatever ended the loop: the store keeps a readable
        // volume, still marked.
        NameSlot(buffer, 0, FormatLabel(0, request.storeId, baseId, numbered), formatted);
        std::copy(marked.begin(), marked.end(), buffer.begin());
        Status slotZeroWritten =
            WriteBlockAndReport(ports, store->device, buffer, 0, kSlotStride, 0, Reporting::Shown);
        if (slotZeroWritten) {
            slotZeroWritten = FlushDevHandle(ports, store->device);
        }
        result = AfterFlush(result, slotZeroWritten, kSlotCount - 1);
        std::copy(clean.begin(), clean.end(), buffer.begin());
    }
    // Only a format that wrote every slot clears the mark, as its last step.
    if (result.Complete()) {
        result = AfterFlush(result, WriteFirstSector(ports, store->device, clean), kSlotCount - 1);
    }
    result = AfterFlush(result, CloseStore(ports, *store, CloseOrder::VolumeFirst), kSlotCount - 1);
    // Every slot again, after the last write: a stick that wraps writes
    // around shows it only once the later slots have landed on the earlier.
    if (result.Complete() && request.readBack == ReadBack::On) {
        result = ReadBackSlots(ports, target.device.path, 0, kSlotCount - 1, [&](int slot) {
            NameSlot(buffer, slot, FormatLabel(slot, request.storeId, baseId, numbered), formatted);
            return Result<std::span<const std::byte>>(std::span<const std::byte>(buffer));
        });
    }
    if (result.Complete()) {
        ports.progress.Finished();
    }
    return result;
}

std::string FormatDialogId(const std::string& typed) {
    return ToUpperLabel(FirstCharacters(typed, fat12::kLabelBytes));
}

}  // namespace quarnex
