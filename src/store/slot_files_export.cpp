#include "store/slot_files_export.hpp"

#include "core/media_sizes.hpp"
#include "state/output_guard.hpp"
#include "state/progress.hpp"
#include "state/reported_io.hpp"
#include "store/unit_loop.hpp"

namespace quarnex {

namespace {

// A slot's file: written whole, then in its place once on the medium.
Status WriteSlotFile(OperationPorts& ports, const std::string& path,
                     std::span<const std::byte> image) {
    Result<DevHandle> opened =
        GetHandle(ports, path, Access::Write, Disposition::Replace, Reporting::Shown);
    if (!opened) {
        return Failure{opened.Error()};
    }
    DevHandle file = std::move(opened).Value();
    if (Status written =
            WriteBlockAndReport(ports, file, image, 0, kImageBytes, 0, Reporting::Shown);
        !written) {
        return written;
    }
    return CommitDevHandle(ports, file);
}

}  // namespace

SlotFilesExport ExportSlotsToFiles(OperationPorts& ports, const DeviceEntry& store,
                                   const std::vector<SlotFile>& targets,
                                   std::span<std::byte> image) {
    ports.progress.Started();
    BusyGuard busy(ports.progress);
    SlotFilesExport run;
    // A file on the store itself would overwrite the slots being read.
    for (const SlotFile& target : targets) {
        if (RefuseStoreOverlap(ports, target.file, store.path, "Export Slots To Folder")) {
            run.result = OperationResult::NotStarted(NotStartedReason::Refused);
            return run;
        }
    }
    Result<DevHandle> opened =
        GetHandle(ports, store.path, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    if (!opened) {
        run.result = OperationResult::NotStarted(opened.Error());
        return run;
    }
    DevHandle device = std::move(opened).Value();
    busy.Enter();
    const int count = static_cast<int>(targets.size());
    run.result = RunUnits(ports.progress, count, [&](int unit) {
        const auto& [slot, file] = targets[static_cast<std::size_t>(unit)];
        ports.progress.Doing(
            Activity{.kind = ActivityKind::BackupSlot, .slot = slot, .path = file});
        if (Status read =
                ReadBlockAndReport(ports, device, image, 0, kImageBytes,
                                   static_cast<std::int64_t>(SlotOffset(slot)), Reporting::Shown);
            !read) {
            return UnitStep::Failed(read.Error());
        }
        // A cancel stops before the slot just read is written.
        if (ports.progress.CancelAsked()) {
            return UnitStep::Cancelled();
        }
        if (Status written = WriteSlotFile(ports, file, image); !written) {
            return UnitStep::Failed(written.Error());
        }
        run.written.push_back(slot);
        return UnitStep::Done();
    });
    if (run.result.Complete()) {
        ports.progress.Finished();
    } else {
        run.result = run.result.AtUnit(targets[static_cast<std::size_t>(run.result.unit)].slot);
        if (!run.result.Cancelled()) {
            ports.progress.Failed();
        }
    }
    return run;
}

std::optional<std::string> ReadPlainFile(OperationPorts& ports, const std::string& path) {
    const LengthResult length = ports.devices.FileLength(path);
    if (!length.length || !ports.devices.FileExists(path)) {
        return std::nullopt;
    }
    OpenResult opened = ports.devices.Open(path, Access::Read, Disposition::OpenExisting);
    if (opened.file == nullptr) {
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(*length.length), '\0');
    const IoResult read = opened.file->Read(reinterpret_cast<std::byte*>(text.data()), text.size());
    if (read.error != 0) {
        return std::nullopt;
    }
    text.resize(read.bytes);
    return text;
}

}  // namespace quarnex
