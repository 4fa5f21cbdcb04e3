#include "store/store_compare.hpp"
#include "store/store_paths.hpp"

#include <cstdint>
#include <cstdio>

#include "core/media_sizes.hpp"
#include "core/sha256.hpp"
#include "core/text.hpp"
#include "state/error_report.hpp"
#include "state/progress.hpp"
#include "state/reported_io.hpp"
#include "store/read_back.hpp"
#include "store/store_paths.hpp"
#include "store/unit_loop.hpp"

namespace quarnex {

StoreComparison CompareStoreWithFile(OperationPorts& ports, const std::string& storePath,
                                     const std::string& filePath) {
    StoreComparison comparison;
    const LengthResult length = ports.devices.FileLength(filePath);
    if (length.length && *length.length != kStoreBytes) {
        RefuseStoreFileLength(ports, filePath, *length.length);
        comparison.run = OperationResult::NotStarted(NotStartedReason::Refused);
        return comparison;
    }
    Result<DevHandle> file =
        GetHandle(ports, filePath, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    if (!file) {
        comparison.run = OperationResult::NotStarted(file.Error());
        return comparison;
    }
    Result<DevHandle> store =
        GetHandle(ports, storePath, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    if (!store) {
        comparison.run = OperationResult::NotStarted(store.Error());
        return comparison;
    }
    ports.progress.Started();
    BusyGuard busy(ports.progress);
    busy.Enter();
    std::vector<std::byte> expected(kSlotStride);
    std::vector<std::byte> scratch(kSlotStride);
    comparison.run = RunUnits(ports.progress, kSlotCount, [&](int slot) {
        const Status read = ReadBlockAndReport(ports, file.Value(), expected, 0, kSlotStride,
                                               kCurrentPosition, Reporting::Shown);
        if (!read) {
            return UnitStep::Failed(read.Error());
        }
        const MediumCheck check =
            CompareWithMedium(*store.Value().File(), SlotOffset(slot), expected, scratch);
        if (check.error != 0) {
            ErrorRecord error = SystemCallError(check.error, "ReadBack", "", storePath);
            ErrorReport(ports, error);
            return UnitStep::Failed(std::move(error));
        }
        if (check.difference) {
            comparison.differing.push_back(SlotDifference{slot, *check.difference});
        }
        return ports.progress.CancelAsked() ? UnitStep::Cancelled() : UnitStep::Done();
    });
    if (comparison.run.Complete()) {
        ports.progress.Finished();
    }
    return comparison;
}

std::vector<std::string> SlotImageHashes(OperationPorts& ports, const std::string& storePath) {
    Result<DevHandle> store =
        GetHandle(ports, storePath, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    if (!store) {
        return {};
    }
    std::vector<std::byte> image(kImageBytes);
    std::vector<std::string> hashes;
    hashes.reserve(kSlotCount);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const Status read =
            ReadBlockAndReport(ports, store.Value(), image, 0, kImageBytes,
                               static_cast<std::int64_t>(SlotOffset(slot)), Reporting::Shown);
        if (!read) {
            return {};
        }
        hashes.push_back(Sha256Hex(image));
    }
    return hashes;
}

}  // namespace quarnex
