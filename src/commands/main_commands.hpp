#pragma once
// What each command of the main window does, in plain code: the GUI's menus,
// grid and dialogs call these, and so can the tests.

#include <string>

#include "state/context.hpp"

namespace quarnex {

// Opening the Image menu: shows the floppy entries of the drives present.
void RefreshFloppyEntries(Context& ctx);

// File menu.
void ScanStores(Context& ctx);
// Select Device i: closes an open edit unsaved, then loads store i's Disk IDs
// and descriptions.
void SelectDevice(Context& ctx, int index);
void ExportStoreToFile(Context& ctx);
// A whole-store file onto the selected store; the window returns to its reset
// state when that succeeded.
void ImportStoreFromFile(Context& ctx);
// The format dialog's OK for the store it was opened for.
void FormatStoreFromDialog(Context& ctx, const std::string& openedForPath);

// Whole-store image files used as a store, for work without a stick: the file
// becomes the only row of the device table and is selected like a store.
// False (with the length message) for a file that is not a whole store.
bool OpenStoreFile(Context& ctx, const std::string& path);
void OpenStoreFileCommand(Context& ctx);
// Creates an empty whole-store file (sparse where possible) and opens it.
bool NewStoreFile(Context& ctx, const std::string& path);
void NewStoreFileCommand(Context& ctx);

// Image menu.
// drive: 'A' or 'B' for the raw floppy drive, 0 to ask for an image file.
void ImportImage(Context& ctx, char drive);
void ImportImageFromSlot(Context& ctx);
void ExportImage(Context& ctx, char drive);
// The internal image into the selected slot, then the descriptions file, then
// the store reloaded so the grid shows the slot's new ID and description.
void ExportImageToSlot(Context& ctx);
void FormatImageFromDialog(Context& ctx);
void ZeroImage(Context& ctx);

// A committed description edit: the selected store's descriptions file.
void SaveStoreDescriptions(Context& ctx);

}  // namespace quarnex
