#include "store/disk_ids.hpp"

#include <array>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "fat12/volume_label.hpp"
#include "state/progress.hpp"
#include "state/reported_io.hpp"
#include "store/write_mark.hpp"

namespace quarnex {

std::string DiskIdFromBootSector(std::span<const std::byte> boot) {
    return fat12::ReadVolumeLabel(boot);
}

std::optional<std::string> DiskIdRecord(const std::string& id) {
    return id.empty() ? std::nullopt : std::optional<std::string>(id);
}

std::string UnfinishedSlotsText(const SlotTable& table, std::string_view separator) {
    std::string text;
    for (int slot = 1; slot < kSlotCount; ++slot) {
        if (table.Slot(slot).writeUnfinished) {
            text += (text.empty() ? "" : std::string(separator)) + UnfinishedSlotText(slot);
        }
    }
    return text;
}

Outcome LoadDiskIds(OperationPorts& ports, StoreInUse store) {
    SlotTable& table = store.records;
    ports.progress.Started();
    ports.progress.Doing(Activity{.kind = ActivityKind::LoadDiskIds});
    Result<DevHandle> opened = GetHandle(ports, store.device.path, Access::Read,
                                         Disposition::OpenExisting, Reporting::Shown);
    if (!opened) {
        return Outcome::NotStarted;
    }
    DevHandle& handle = opened.Value();
    std::array<std::byte, kSectorBytes> boot{};
    table.storeId.reset();
    table.writeUnfinished = false;
    for (int slot = 1; slot < kSlotCount; ++slot) {
        table.SetWriteUnfinished(slot, false);
    }
    bool allRead = true;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!ReadSectorAndReport(ports, handle, boot, 0, boot.size(),
                                 static_cast<std::int64_t>(SlotOffset(slot)), Reporting::Shown)) {
            allRead = false;
            break;
        }
        const std::string id = DiskIdFromBootSector(boot);
        if (slot == 0) {
            table.storeId = TrimSpaces(id);
            table.writeUnfinished = HasWriteMark(boot);
        } else {
            table.SetDiskId(slot, DiskIdRecord(id), SlotChange::DiskIdRead);
            table.SetWriteUnfinished(slot, HasWriteMark(boot));
        }
        ports.progress.UnitDone(slot, kSlotCount - 1);
    }
    if (!allRead) {
        ports.progress.Doing(Activity{.kind = ActivityKind::LoadDiskIdsFailed});
    }
    return allRead ? Outcome::Complete : Outcome::Incomplete;
}

}  // namespace quarnex
