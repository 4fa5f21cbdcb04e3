#pragma once
// Settling what the program changed in a store's descriptions with what
// another program wrote to its file since they were loaded, slot by slot, so
// that a save never takes back someone else's change.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/slot_table.hpp"

namespace quarnex {

// Decides a slot changed both here and on the store: true keeps the texts
// here, false takes the store's.
using KeepOwnTexts = std::function<bool(int slot, const SlotTexts& here, const SlotTexts& onStore)>;

// The records now agree with the file, whose bytes are given (none when
// there is no file): after a load or a save.
void RememberStored(SlotTable& records, std::optional<std::string> bytes);

// Takes into records every slot text and the base ID that onStore (the file
// as read just now) changed since the records were stored, unless the records
// changed the same thing too: then the same change passes and a different one
// is settled by keep. Nothing is taken before the records were first stored.
void MergeStoredChanges(SlotTable& records, const SlotTable& onStore, const KeepOwnTexts& keep);

// Whether the slot's texts differ from what the file held when the records
// last agreed with it: a change a save has not yet stored.
bool SlotUnsaved(const SlotTable& records, int slot);
// Those slots, in order.
std::vector<int> UnsavedSlots(const SlotTable& records);

}  // namespace quarnex
