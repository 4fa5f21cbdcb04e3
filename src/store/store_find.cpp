#include "store/store_find.hpp"

#include <algorithm>
#include <iterator>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "fat12/directory.hpp"
#include "fat12/volume_layout.hpp"
#include "state/progress.hpp"
#include "state/reported_io.hpp"
#include "store/disk_ids.hpp"
#include "store/find_pattern.hpp"
#include "store/unit_loop.hpp"

namespace quarnex {

namespace {

std::size_t WholeSectors(std::size_t bytes) {
    return (bytes + kSectorBytes - 1) / kSectorBytes * kSectorBytes;
}

// One slot's volume as far as it has been read: the regions a search needs
// land at their own offsets of a slot-sized buffer, the rest is never looked
// at (the FAT12 code reads only where the layout and the chains lead).
class SlotReader {
  public:
    SlotReader(OperationPorts& ports, DevHandle& handle)
        : ports_(ports), handle_(handle), volume_(kSlotStride) {}

    void Begin(int slot) { base_ = SlotOffset(slot); }
    std::span<const std::byte> Volume() const { return volume_; }

    Status Read(std::size_t offset, std::size_t count) {
        return ReadBlockAndReport(ports_, handle_, volume_, offset, WholeSectors(count),
                                  static_cast<std::int64_t>(base_ + offset), Reporting::Shown);
    }

    // The clusters of a chain, neighbours in one read.
    Status ReadClusters(const fat12::Layout& layout, const std::vector<unsigned>& clusters) {
        for (std::size_t i = 0; i < clusters.size();) {
            std::size_t run = 1;
            while (i + run < clusters.size() && clusters[i + run] == clusters[i] + run) {
                ++run;
            }
            if (Status read = Read(layout.ClusterOffset(clusters[i]), run * layout.clusterBytes);
                !read) {
                return read;
            }
            i += run;
        }
        return {};
    }

  private:
    OperationPorts& ports_;
    DevHandle& handle_;
    std::vector<std::byte> volume_;
    std::uint64_t base_ = 0;
};

struct PendingFolder {
    std::string path;  // "" for the root, else "A/B/"
    fat12::DirectorySlots slots;
};

// The names in the volume whose boot sector is already read; a damaged
// layout or chain only hides what lies behind it.
Status FindFiles(SlotReader& reader, const FindPattern& pattern, FindMatch found,
                 std::vector<FindMatch>& matches) {
    const auto layout = fat12::ReadLayout(reader.Volume()).layout;
    if (!layout) {
        return {};
    }
    if (Status read = reader.Read(layout->fatOffset, layout->fatBytes); !read) {
        return read;
    }
    if (Status read = reader.Read(layout->rootOffset, layout->rootEntries * fat12::kDirEntryBytes);
        !read) {
        return read;
    }
    // A folder whose chain meets one already read (damage) is read once.
    std::vector<bool> seen(layout->lastCluster + 1, false);
    std::vector<PendingFolder> pending;
    pending.push_back({"", *fat12::ReadDirectorySlots(*layout, reader.Volume(), 0)});
    while (!pending.empty()) {
        const PendingFolder folder = std::move(pending.back());
        pending.pop_back();
        std::vector<PendingFolder> inner;
        for (const fat12::FoundEntry& entry : fat12::ReadEntries(reader.Volume(), folder.slots)) {
            if (fat12::IsDotEntry(entry)) {
                continue;
            }
            const std::string path = folder.path + entry.name;
            if (pattern.Matches(entry.name) || pattern.Matches(entry.shortName)) {
                found.text = path;
                matches.push_back(found);
            }
            const unsigned first = entry.entry.firstCluster.Get();
            if (!fat12::IsDirectory(entry.entry) || !layout->IsDataCluster(first) || seen[first]) {
                continue;
            }
            seen[first] = true;
            auto slots = fat12::ReadDirectorySlots(*layout, reader.Volume(), first);
            if (!slots) {
                continue;
            }
            if (Status read = reader.ReadClusters(*layout, slots->clusters); !read) {
                return read;
            }
            inner.push_back({path + "/", std::move(*slots)});
        }
        // Folders in the order they stand, each before the next one's.
        std::move(inner.rbegin(), inner.rend(), std::back_inserter(pending));
    }
    return {};
}

}  // namespace

FindResult FindInStore(OperationPorts& ports, const StoreInUse& store, std::string_view pattern) {
    FindResult found;
    ports.progress.Started();
    Result<DevHandle> opened = GetHandle(ports, store.device.path, Access::Read,
                                         Disposition::OpenExisting, Reporting::Shown);
    if (!opened) {
        found.result = OperationResult::NotStarted(opened.Error());
        return found;
    }
    BusyGuard busy(ports.progress);
    busy.Enter();
    const FindPattern wanted(pattern);
    SlotReader reader(ports, opened.Value());
    const int slots = kSlotCount - 1;
    found.result = RunUnits(ports.progress, slots, [&](int unit) {
        const int slot = unit + 1;
        ports.progress.Doing(Activity{.kind = ActivityKind::FindSlot, .slot = slot});
        reader.Begin(slot);
        if (Status read = reader.Read(0, kSectorBytes); !read) {
            return UnitStep::Failed(read.Error());
        }
        const std::string label = DiskIdFromBootSector(reader.Volume().first(kSectorBytes));
        FindMatch match;
        match.slot = slot;
        match.diskId = DiskIdRecord(label).value_or(std::string(kNoDiskId));
        if (const std::string id = TrimSpaces(label); !id.empty() && wanted.Matches(id)) {
            match.in = FoundIn::DiskId;
            match.text = id;
            found.matches.push_back(match);
        }
        const std::string& description = store.records.Slot(slot).description;
        if (!description.empty() && wanted.Matches(description)) {
            match.in = FoundIn::Description;
            match.text = description;
            found.matches.push_back(match);
        }
        match.in = FoundIn::File;
        if (Status read = FindFiles(reader, wanted, match, found.matches); !read) {
            return UnitStep::Failed(read.Error());
        }
        return ports.progress.CancelAsked() ? UnitStep::Cancelled() : UnitStep::Done();
    });
    found.result = found.result.AtUnit(found.result.unit + 1);
    if (found.result.Complete()) {
        ports.progress.Finished();
    }
    return found;
}

}  // namespace quarnex
