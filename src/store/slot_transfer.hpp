#pragma once
// Moving one floppy image between a slot of a store and the internal image.

#include <span>

#include "state/operation_ports.hpp"
#include "state/outcome.hpp"
#include "state/reported_io.hpp"
#include "store/read_back.hpp"
#include "store/store_in_use.hpp"

namespace quarnex {

// The unit of these transfers is the slot: an incomplete one stopped at n.

// Reads the image part of slot n (1..999) of the store into image (one
// floppy image); complete when all of it was read. The image's record then
// carries the slot's description and source; after a failure or cancel it
// is emptied.
OperationResult ImportFromSlot(OperationPorts& ports, StoreInUse store, int n,
                               std::span<std::byte> image);

// Writes image into the image part of slot n (1..999), leaving the slot's
// gap alone; complete when all of it was written and flushed. Until the last
// write the slot's boot sector carries the write mark, so a slot left part
// written is listed as such. The slot's ID, description and source follow
// the image (its record in store.records), and DISKS.TXT is saved. Not
// started when nothing could be written: then the slot, its record and the
// file stay as they were. With read-back on, the slot is then read from the
// medium and compared; a difference fails the run at n.
OperationResult ExportToSlot(OperationPorts& ports, StoreInUse store, int n,
                             std::span<const std::byte> image, ReadBack readBack = ReadBack::On);

// The step of every write into a slot, on a device already open for writing:
// the image with its boot sector marked (flushed), then the real boot sector,
// left for the caller's next flush or close. Its run counts blocks (0..159);
// touched once anything reached the slot.
struct SlotWrite {
    OperationResult result;
    bool touched = false;
};
SlotWrite WriteImageToSlot(OperationPorts& ports, DevHandle& device, int n,
                           std::span<const std::byte> image);

// The record of slot n once image went into it (touched): its ID, and the
// description and source of from, the source only when complete.
void RecordImageInSlot(SlotTable& table, int n, std::span<const std::byte> image,
                       const ImageRecord& from, bool complete);

}  // namespace quarnex
