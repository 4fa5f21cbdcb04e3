#include "store/descriptions_merge.hpp"

#include "core/media_sizes.hpp"

namespace quarnex {

namespace {

const SlotTexts& StoredTexts(const SlotTable& records, int slot) {
    return records.descriptionsFile.stored.texts.at(static_cast<std::size_t>(slot));
}

void Take(SlotTable& records, int slot, const SlotTexts& texts) {
    records.SetDescription(slot, texts.description);
    records.SetSource(slot, texts.source);
}

}  // namespace

void RememberStored(SlotTable& records, std::optional<std::string> bytes) {
    StoredDescriptions& stored = records.descriptionsFile.stored;
    stored.bytes = std::move(bytes);
    stored.texts.assign(kSlotCount, SlotTexts{});
    for (int slot = 1; slot < kSlotCount; ++slot) {
        stored.texts[static_cast<std::size_t>(slot)] = TextsOf(records.Slot(slot));
    }
    stored.base = BaseIdOf(records);
}

void MergeStoredChanges(SlotTable& records, const SlotTable& onStore, const KeepOwnTexts& keep) {
    const StoredDescriptions& stored = records.descriptionsFile.stored;
    if (stored.texts.empty()) {
        return;
    }
    for (int slot = 1; slot < kSlotCount; ++slot) {
        const SlotTexts& before = StoredTexts(records, slot);
        const SlotTexts theirs = TextsOf(onStore.Slot(slot));
        const SlotTexts here = TextsOf(records.Slot(slot));
        if (theirs == before || theirs == here) {
            continue;
        }
        if (here == before || !keep(slot, here, theirs)) {
            Take(records, slot, theirs);
        }
    }
    if (BaseIdOf(records) == stored.base) {
        records.baseId = onStore.baseId;
        records.baseIdPresent = onStore.baseIdPresent;
        records.baseIdNumbered = onStore.baseIdNumbered;
    }
}

bool SlotUnsaved(const SlotTable& records, int slot) {
    return !records.descriptionsFile.stored.texts.empty() &&
           TextsOf(records.Slot(slot)) != StoredTexts(records, slot);
}

std::vector<int> UnsavedSlots(const SlotTable& records) {
    std::vector<int> unsaved;
    for (int slot = 1; slot < kSlotCount; ++slot) {
        if (SlotUnsaved(records, slot)) {
            unsaved.push_back(slot);
        }
    }
    return unsaved;
}

}  // namespace quarnex
