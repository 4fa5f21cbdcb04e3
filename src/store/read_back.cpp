#include "store/read_back.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "state/error_report.hpp"
#include "state/reported_io.hpp"
#include "store/unit_loop.hpp"

namespace quarnex {

namespace {

constexpr const char* kReadBackTag = "QrnMfntVerify.";

}  // namespace

MediumCheck CompareWithMedium(DeviceFile& file, std::uint64_t offset,
                              std::span<const std::byte> expected, std::span<std::byte> scratch) {
    const std::size_t count = expected.size();
    if (scratch.size() < count) {
        return MediumCheck{EINVAL};
    }
    if (const int error = file.ForgetCached(offset, count); error != 0) {
        return MediumCheck{error};
    }
    if (const int error = file.Seek(offset); error != 0) {
        return MediumCheck{error};
    }
    const IoResult read = file.Read(scratch.data(), count);
    if (read.error != 0 || read.bytes != count) {
        return MediumCheck{read.error != 0 ? read.error : EIO};
    }
    // One block compare; the byte is looked for only once it is known to differ.
    if (std::memcmp(scratch.data(), expected.data(), count) == 0) {
        return {};
    }
    const auto differing = std::mismatch(expected.begin(), expected.end(), scratch.begin());
    return MediumCheck{0, static_cast<std::size_t>(differing.first - expected.begin())};
}

ErrorRecord SlotDiffersError(int slot, std::size_t byte, const std::string& storePath) {
    return CaughtBy(
        ErrorRecord{.source = "ReadBack",
                    .systemError = EIO,
                    .doing = "An error occurred when reading back what was written to " + storePath,
                    .cause = "Slot " + ThreeDigits(slot) +
                             " does not read back as written: its byte " +
                             FormatThousands(static_cast<std::int64_t>(byte)) + " differs.",
                    .target = storePath},
        kReadBackTag);
}

OperationResult ReadBackSlots(OperationPorts& ports, const std::string& storePath, int first,
                              int last, const ExpectedSlot& expected) {
    Result<DevHandle> opened =
        GetHandle(ports, storePath, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    if (!opened) {
        return OperationResult::FailedAt(first, opened.Error());
    }
    DeviceFile& file = *opened.Value().File();
    std::vector<std::byte> scratch(kSlotStride);
    for (int slot = first; slot <= last; ++slot) {
        const Result<std::span<const std::byte>> wanted = expected(slot);
        if (!wanted) {
            return OperationResult::FailedAt(slot, wanted.Error());
        }
        const MediumCheck check =
            CompareWithMedium(file, SlotOffset(slot), wanted.Value(), scratch);
        if (!check.Same()) {
            ErrorRecord error =
                check.error != 0 ? CaughtBy(SystemCallError(check.error, "ReadBack", "", storePath),
                                            kReadBackTag)
                                 : SlotDiffersError(slot, *check.difference, storePath);
            ErrorReport(ports, error);
            return OperationResult::FailedAt(slot, std::move(error));
        }
        // The bar stays short of "Finished", while the window keeps
        // answering (and can cancel) through a whole store's read-back.
        if (last > first) {
            ports.progress.UnitDone(LastUnitBeforeFinished(last), last);
        }
        if (slot < last && ports.progress.CancelAsked()) {
            ports.progress.Cancelled();
            return OperationResult::CancelledAt(slot);
        }
    }
    return OperationResult::Done();
}

}  // namespace quarnex

namespace quarnex {

bool StoppedByReadBack(const OperationResult& result) {
    return result.outcome == Outcome::Incomplete && result.error &&
           result.error->caughtBy == kReadBackTag;
}

}  // namespace quarnex
