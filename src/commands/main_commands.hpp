#pragma once
// What each command of the main window does, in plain code: the GUI's menus,
// grid and dialogs call these, and so can the tests.

#include <optional>
#include <string>

#include "commands/window_context.hpp"
#include "image/image_result.hpp"
#include "store/format_usb.hpp"
#include "store/store_file_copy.hpp"

namespace quarnex {

// Opening the Image menu: shows the floppy entries of the drives present.
void RefreshFloppyEntries(WindowContext& ctx);

// File menu.
void ScanStores(WindowContext& ctx);
// Select Device i: closes an open edit unsaved, then loads store i's Disk IDs
// and descriptions.
void SelectDevice(WindowContext& ctx, int index);
// The selected store's Disk IDs into the grid and the store ID into the
// format dialog; when all were read, the window shows the loaded store and
// its descriptions, otherwise it returns to the device list.
bool LoadSelectedStore(WindowContext& ctx);
void ExportStoreToFile(WindowContext& ctx);
// A whole-store file onto the selected store; the window returns to its reset
// state when that succeeded.
// (The file is asked for when path is empty.)
OperationResult ImportStoreFromFile(WindowContext& ctx, std::string path = {});
// The format dialog's OK for the store it was opened for: both texts become
// the capitals of their first 11 characters, the store is formatted (unless
// it is no longer the selected one, which is said and nothing is written)
// and the window returns to its reset state.
OperationResult FormatStoreFromDialog(WindowContext& ctx, const std::string& openedForPath);
// Asks for the file a transfer works on; a cancelled dialog ends the
// transfer before it began (the busy frame left), silently.
std::optional<std::string> AskTransferFile(Context& ctx, FileDialogKind kind,
                                           const FileDialogRequest& request);
// The selected store copied into path, or path copied onto it, through the
// transfer buffer; with path empty the file is asked for (path then holds
// the choice).
BackupResult BackupSelectedStore(Context& ctx, std::string& path);
OperationResult RestoreSelectedStore(Context& ctx, std::string& path,
                                     ReadBack readBack = ReadBack::On);
// Formats the selected store from the program's template, building each
// slot in the transfer buffer; not started without a selected store.
OperationResult FormatSelectedStore(Context& ctx, const FormatRequest& request);

// Whole-store image files used as a store, for work without a stick: the file
// becomes the only row of the device table and is selected like a store.
// False (with the length message) for a file that is not a whole store.
bool OpenStoreFile(WindowContext& ctx, const std::string& path);
void OpenStoreFileCommand(WindowContext& ctx);
// New Store Image File: the name of the new file; empty when the dialog was
// cancelled. The store ID and base are then asked for with the format dialog.
std::optional<std::string> AskNewStoreFile(WindowContext& ctx);
// The format dialog's OK for a new store file: both texts become the
// capitals of their first 11 characters, the file is made a store's length
// (sparse), formatted as the Format command formats a stick, and opened. An
// existing file is never touched; a file whose format did not complete is
// removed again, as half a store is of no use.
OperationResult NewStoreFileFromDialog(WindowContext& ctx, const std::string& path);

// Image menu.
// drive: 'A' or 'B' for the raw floppy drive, 0 to ask for an image file.
void ImportImage(WindowContext& ctx, char drive);
void ImportImageFromSlot(WindowContext& ctx);
// The Cancel command: only raises the flag the running operation polls.
void CancelCommand(Context& ctx);
// Reads slot n of the selected store into the internal image, whose caption
// then names the slot and the store, or marks the image unreliable.
OperationResult ReadSlotIntoImage(Context& ctx, int n);
void ExportImage(WindowContext& ctx, char drive);
// The internal image into the selected slot, then the descriptions file, then
// the store reloaded so the grid shows the slot's new ID and description.
// Nothing starts when the descriptions file may not be replaced.
OperationResult ExportImageToSlot(WindowContext& ctx);
void FormatImageFromDialog(WindowContext& ctx);
void ZeroImage(Context& ctx);
// The internal image from or to a drive or a file (asked for when the request
// names neither; a cancel passes silently), and formatted with an ID; the
// caption then names what the image now is, or marks it unreliable.
ImageResult ImportImageFrom(Context& ctx, ImageTransferRequest request);
ImageResult ExportImageTo(Context& ctx, ImageTransferRequest request);
Outcome FormatImageWithId(Context& ctx, const std::string& id);

// A committed description edit: the selected store's descriptions file.
// A file that could not be read in full is replaced only when the user
// agrees.
void SaveStoreDescriptions(WindowContext& ctx);

// Before the selected store's descriptions file is written: when it could
// not be read in full, asks whether to replace it. False when the user
// declines, or when a folder stands where the file belongs (said so).
bool MayReplaceDescriptions(WindowContext& ctx);

// Reads the selected store's IDs and descriptions into the window, for a
// caller that holds its lock; false when they could not be read in full.
bool LoadStoreLocked(WindowContext& ctx);

}  // namespace quarnex
