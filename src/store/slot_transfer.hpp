#pragma once
// Moving one floppy image between a slot of the selected USB store and the
// internal image, and the export command that then saves the descriptions
// and reloads the store.

#include "state/context.hpp"

namespace quarnex {

// Reads the image part of slot n (1..999) into the internal image; true when
// all of it was read. The status strip names the slot as the image's source,
// or marks the image unreliable after a failure or cancel.
bool ImportFromSlot(Context& ctx, int n);

// Writes the internal image into the image part of slot n (1..999), leaving
// the slot's gap alone; true when all of it was written and flushed. The
// slot's description and source follow the image, and DISKS.TXT is saved.
bool ExportToSlot(Context& ctx, int n);

}  // namespace quarnex
