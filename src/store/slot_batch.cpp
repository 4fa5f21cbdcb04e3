#include "store/slot_batch.hpp"

#include <algorithm>

#include "core/aligned_buffer.hpp"
#include "core/media_sizes.hpp"
#include "state/progress.hpp"
#include "state/reported_io.hpp"
#include "store/descriptions.hpp"
#include "store/slot_transfer.hpp"
#include "store/store_write_access.hpp"
#include "store/unit_loop.hpp"

namespace quarnex {

namespace {

constexpr long kBlocks = static_cast<long>(kTracksPerImage);

// One slot's share of the run's progress: its blocks are counted on from
// the slots before it, so the bar moves once over all of them.
class SlotShare final : public Progress {
  public:
    SlotShare(Progress& run, long before, long total) : run_(run), before_(before), total_(total) {}

    void Started() override {}
    void UnderWay() override {}
    void Over() override {}
    void Finished() override {}
    void Doing(const Activity& what) override { run_.Doing(what); }
    void UnitDone(long done, long) override {
        run_.UnitDone(std::min(before_ + done, LastUnitBeforeFinished(total_)), total_);
    }
    void Failed() override { run_.Failed(); }
    void Cancelled() override { run_.Cancelled(); }
    bool CancelAsked() override { return run_.CancelAsked(); }

  private:
    Progress& run_;
    long before_;
    long total_;
};

Status ReadImageFile(OperationPorts& ports, const std::string& path, std::span<std::byte> image) {
    Result<DevHandle> file =
        GetHandle(ports, path, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    if (!file) {
        return Failure{file.Error()};
    }
    return ReadBlockAndReport(ports, file.Value(), image, 0, kImageBytes, 0, Reporting::Shown);
}

}  // namespace

std::optional<ImageFileProblem> CheckImageFiles(DeviceBackend& devices,
                                                const std::vector<std::string>& files) {
    for (const std::string& path : files) {
        const LengthResult length = devices.FileLength(path);
        if (!length.length) {
            return ImageFileProblem{path, ImageFileFault::Unreadable, 0, length.error};
        }
        if (!devices.FileExists(path)) {
            return ImageFileProblem{path, ImageFileFault::NotAFile};
        }
        if (*length.length != kImageBytes) {
            return ImageFileProblem{path, ImageFileFault::WrongLength, *length.length};
        }
    }
    return std::nullopt;
}

std::optional<std::vector<int>> ConsecutiveSlots(int first, std::size_t count) {
    if (first < 1 ||
        static_cast<std::size_t>(first) + count > static_cast<std::size_t>(kSlotCount)) {
        return std::nullopt;
    }
    std::vector<int> slots(count);
    for (std::size_t i = 0; i < count; ++i) {
        slots[i] = first + static_cast<int>(i);
    }
    return slots;
}

BatchResult PutImages(OperationPorts& ports, StoreInUse store,
                      const std::vector<ImagePlacement>& placements, ReadBack readBack) {
    BatchResult batch;
    std::vector<std::string> files;
    for (const ImagePlacement& placement : placements) {
        if (placement.slot < 1 || placement.slot >= kSlotCount) {
            batch.result = OperationResult::NotStarted(NotStartedReason::NoTarget);
            return batch;
        }
        files.push_back(placement.file);
    }
    batch.refused = CheckImageFiles(ports.devices, files);
    if (batch.refused || placements.empty()) {
        batch.result = OperationResult::NotStarted(NotStartedReason::Refused);
        return batch;
    }
    AlignedBuffer buffer;
    if (!buffer.Allocate(kImageBytes)) {
        batch.result = OperationResult::NotStarted(NotStartedReason::Failure);
        return batch;
    }
    const std::span<std::byte> image = buffer.Span();

    ports.progress.Started();
    BusyGuard busy(ports.progress);
    Result<StoreWriteHandles> opened = OpenStoreForWriting(ports, store.device);
    if (!opened) {
        batch.result = OperationResult::NotStarted(opened.Error());
        return batch;
    }
    StoreWriteHandles& handles = opened.Value();
    busy.Enter();

    const long total = kBlocks * static_cast<long>(placements.size()) - 1;
    OperationResult result = OperationResult::Done();
    int last = placements.front().slot;
    for (std::size_t i = 0; i < placements.size() && result.Complete(); ++i) {
        const auto& [file, n, description] = placements[i];
        last = n;
        ports.progress.Doing(Activity{.kind = ActivityKind::ExportToSlot, .slot = n});
        if (Status read = ReadImageFile(ports, file, image); !read) {
            result = OperationResult::FailedAt(n, read.Error());
            break;
        }
        SlotShare share(ports.progress, kBlocks * static_cast<long>(i), total);
        OperationPorts slotPorts{ports.devices, ports.drives, ports.messages, ports.clock, share};
        const SlotWrite written = WriteImageToSlot(slotPorts, handles.device, n, image);
        result = written.result.AtUnit(n);
        if (written.touched) {
            batch.written.push_back(n);
            RecordImageInSlot(store.records, n, image, ImageRecord{description, file},
                              result.Complete());
        }
    }
    // The last slot's real boot sector reaches the medium with the close;
    // the ones before went with the next slot's first flush.
    result = AfterFlush(result, CloseStore(ports, handles, CloseOrder::DeviceFirst), last);
    if (!result.Complete() && !batch.written.empty() && batch.written.back() == last) {
        store.records.SetSource(last, "");
    }
    // After the last write, every slot is read again, so that a stick that
    // wraps later writes onto earlier slots is caught.
    const bool checked = result.Complete() && readBack == ReadBack::On;
    for (std::size_t i = 0; checked && i < placements.size() && result.Complete(); ++i) {
        const auto& [file, n, description] = placements[i];
        result = ReadBackSlots(ports, store.device.path, n, n,
                               [&](int) -> Result<std::span<const std::byte>> {
                                   if (Status read = ReadImageFile(ports, file, image); !read) {
                                       return Failure{read.Error()};
                                   }
                                   return std::span<const std::byte>(image);
                               });
        if (!result.Complete()) {
            store.records.SetSource(n, "");
        }
    }
    if (checked && !result.Complete()) {
        ports.progress.Failed();
    } else {
        ports.progress.Finished();
    }
    if (!batch.written.empty()) {
        SaveDescriptions(ports, store);
    }
    batch.result = result.outcome == Outcome::Incomplete && batch.written.empty()
                       ? (result.error ? OperationResult::NotStarted(*result.error)
                                       : OperationResult::NotStarted(NotStartedReason::Failure))
                       : result;
    return batch;
}

}  // namespace quarnex
