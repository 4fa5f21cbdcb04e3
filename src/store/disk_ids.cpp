#include "store/disk_ids.hpp"

#include <array>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "fat12/volume_label.hpp"
#include "state/progress.hpp"
#include "state/reported_io.hpp"
#include "state/status.hpp"
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

Outcome LoadDiskIds(Context& ctx) {
    ProgramState& state = ctx.state;
    ctx.progress.Started();
    ctx.progress.Doing(Activity{.kind = ActivityKind::LoadDiskIds});
    const DeviceEntry& entry = state.SelectedEntry();
    DevHandle handle =
        GetHandle(ctx, entry.path, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    if (!handle.Valid()) {
        return Outcome::NotStarted;
    }
    std::array<std::byte, kSectorBytes> boot{};
    state.slotTable.storeId.reset();
    state.slotTable.writeUnfinished = false;
    for (int slot = 1; slot < kSlotCount; ++slot) {
        state.slotTable.SetWriteUnfinished(slot, false);
    }
    bool allRead = true;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!ReadSectorAndReport(ctx, handle, boot, 0, boot.size(),
                                 static_cast<std::int64_t>(SlotOffset(slot)), Reporting::Shown)) {
            allRead = false;
            break;
        }
        const std::string id = DiskIdFromBootSector(boot);
        if (slot == 0) {
            state.slotTable.storeId = TrimSpaces(id);
            state.slotTable.writeUnfinished = HasWriteMark(boot);
        } else {
            state.slotTable.SetDiskId(slot, DiskIdRecord(id), SlotChange::DiskIdRead);
            state.slotTable.SetWriteUnfinished(slot, HasWriteMark(boot));
        }
        ctx.progress.UnitDone(slot, kSlotCount - 1);
    }
    if (!allRead) {
        ctx.progress.Doing(Activity{.kind = ActivityKind::LoadDiskIdsFailed});
    }
    CloseDevHandle(ctx, handle);
    return allRead ? Outcome::Complete : Outcome::Incomplete;
}

}  // namespace quarnex
