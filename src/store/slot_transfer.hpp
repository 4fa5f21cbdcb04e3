#pragma once
// Moving one floppy image between a slot of the selected USB store and the
// internal image, and the export command that then saves the descriptions
// and reloads the store.

#include <string>

#include "state/context.hpp"
#include "state/outcome.hpp"

namespace quarnex {

// The unit of these transfers is the slot: an incomplete one stopped at n.

// Reads the image part of slot n (1..999) into the internal image; complete
// when all of it was read. The status strip names the slot as the image's
// source, or marks the image unreliable after a failure or cancel.
OperationResult ImportFromSlot(Context& ctx, int n);

// Writes the internal image into the image part of slot n (1..999), leaving
// the slot's gap alone; complete when all of it was written and flushed.
// Until the last write the slot's boot sector carries the write mark, so a
// slot left part written is listed as such. The slot's ID, description and
// source follow the image, and DISKS.TXT is saved. Not started when nothing
// could be written: then the slot, its record and the file stay as they were.
OperationResult ExportToSlot(Context& ctx, int n);

}  // namespace quarnex
