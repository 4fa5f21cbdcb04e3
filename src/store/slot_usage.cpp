#include "store/slot_usage.hpp"

#include <cstdint>

#include "core/media_sizes.hpp"
#include "fat12/directory.hpp"
#include "fat12/volume_layout.hpp"
#include "store/store_paths.hpp"

namespace quarnex {

SlotUse UseOfSlot(std::span<const std::byte> start, const std::string& description) {
    if (!description.empty()) {
        return SlotUse::Used;
    }
    const fat12::LayoutCheck check = fat12::ReadLayout(start);
    if (!check.layout) {
        return SlotUse::Used;
    }
    const std::optional<fat12::DirectorySlots> root =
        fat12::ReadDirectorySlots(*check.layout, start, 0);
    // Labels and deleted entries do not count; any file or folder does.
    return root && fat12::ReadEntries(start, *root).empty() ? SlotUse::Free : SlotUse::Used;
}

Result<SlotUse> SlotUseReader::Read(OperationPorts& ports, DevHandle& device,
                                    const SlotTable& records, int n) {
    const std::string& description = records.Slot(n).description;
    if (!description.empty()) {
        return SlotUse::Used;  // nothing to read
    }
    const std::span<std::byte> start(start_);
    const auto slotAt = static_cast<std::int64_t>(SlotOffset(n));
    if (Status read =
            ReadBlockAndReport(ports, device, start, 0, kSectorBytes, slotAt, Reporting::Shown);
        !read) {
        return Failure{read.Error()};
    }
    const fat12::LayoutCheck check = fat12::ReadLayout(start);
    if (!check.layout) {
        return SlotUse::Used;
    }
    // The root lies wholly inside the image, as the layout check made sure.
    const std::size_t rootOffset = check.layout->rootOffset;
    const std::size_t rootBytes = check.layout->dataOffset - rootOffset;
    if (Status read =
            ReadBlockAndReport(ports, device, start, rootOffset, rootBytes,
                               slotAt + static_cast<std::int64_t>(rootOffset), Reporting::Shown);
        !read) {
        return Failure{read.Error()};
    }
    return UseOfSlot(start, description);
}

namespace {

// Reads slots in order through one read handle until wanted says stop.
template <typename Take>
Result<std::vector<int>> SlotsWhere(OperationPorts& ports, StoreInUse store, SlotUse use,
                                    Take take) {
    Result<DevHandle> opened = GetHandle(ports, store.device.path, Access::Read,
                                         Disposition::OpenExisting, Reporting::Shown);
    if (!opened) {
        return Failure{opened.Error()};
    }
    SlotUseReader reader;
    std::vector<int> found;
    for (int n = take(found); n != 0; n = take(found)) {
        Result<SlotUse> read = reader.Read(ports, opened.Value(), store.records, n);
        if (!read) {
            return Failure{read.Error()};
        }
        if (read.Value() == use) {
            found.push_back(n);
        }
    }
    return found;
}

}  // namespace

Result<std::vector<int>> FreeSlotsOf(OperationPorts& ports, StoreInUse store, std::size_t count) {
    int next = 1;
    return SlotsWhere(ports, store, SlotUse::Free, [&](const std::vector<int>& found) {
        return found.size() < count && next < kSlotCount ? next++ : 0;
    });
}

Result<std::vector<int>> UsedSlotsAmong(OperationPorts& ports, StoreInUse store,
                                        const std::vector<int>& slots) {
    std::size_t next = 0;
    return SlotsWhere(ports, store, SlotUse::Used, [&](const std::vector<int>&) {
        return next < slots.size() ? slots[next++] : 0;
    });
}

}  // namespace quarnex
