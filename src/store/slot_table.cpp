#include "store/slot_table.hpp"

#include "core/media_sizes.hpp"

namespace quarnex {

SlotTable::SlotTable() : slots_(kSlotCount) {}

const SlotRecord& SlotTable::Slot(int slot) const {
    return slots_.at(static_cast<std::size_t>(slot));
}

SlotRecord& SlotTable::At(int slot) {
    return slots_.at(static_cast<std::size_t>(slot));
}

void SlotTable::Tell(int slot, SlotChange change) {
    if (listener_ != nullptr) {
        listener_->SlotChanged(slot, change);
    }
}

void SlotTable::SetDiskId(int slot, std::optional<std::string> id, SlotChange how) {
    std::optional<std::string>& diskId = At(slot).diskId;
    // A load is told even when the label is the same: what the window showed
    // beside it no longer applies.
    if (diskId == id && how != SlotChange::DiskIdRead) {
        return;
    }
    diskId = std::move(id);
    Tell(slot, how);
}

void SlotTable::SetDescription(int slot, std::string text) {
    std::string& description = At(slot).description;
    if (description == text) {
        return;
    }
    description = std::move(text);
    Tell(slot, SlotChange::Description);
}

void SlotTable::SetSource(int slot, std::string text) {
    At(slot).source = std::move(text);
}

void SlotTable::SetWriteUnfinished(int slot, bool unfinished) {
    bool& marked = At(slot).writeUnfinished;
    if (marked != unfinished) {
        marked = unfinished;
        Tell(slot, SlotChange::WriteMark);
    }
}

void SlotTable::ClearSlots() {
    for (int slot = 1; slot < kSlotCount; ++slot) {
        SetDiskId(slot, std::nullopt, SlotChange::DiskIdCleared);
        SetDescription(slot, "");
        SetSource(slot, "");
        SetWriteUnfinished(slot, false);
    }
}

std::string ShownId(const SlotRecord& record) {
    return record.diskId.value_or(std::string(kNoDiskId));
}

SlotTexts TextsOf(const SlotRecord& record) {
    return SlotTexts{record.description, record.source};
}

BaseIdFacts BaseIdOf(const SlotTable& table) {
    return BaseIdFacts{table.baseId, table.baseIdPresent, table.baseIdNumbered};
}

}  // namespace quarnex
