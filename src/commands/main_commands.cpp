#include "commands/main_commands.hpp"

#include <cerrno>
#include <filesystem>
#include <initializer_list>

#include "commands/refresh_main_window.hpp"
#include "commands/status.hpp"
#include "commands/store_check.hpp"
#include "commands/window_store_lock.hpp"
#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "fat12/volume_label.hpp"
#include "image/image_format.hpp"
#include "scan/drive_scan.hpp"
#include "state/error_report.hpp"
#include "state/progress.hpp"
#include "store/descriptions.hpp"
#include "store/disk_ids.hpp"
#include "store/format_usb.hpp"
#include "store/slot_transfer.hpp"
#include "store/store_file_copy.hpp"
#include "store/store_paths.hpp"

namespace quarnex {

namespace {

// The store dialog's request; its boxes keep the IDs as they will be written.
FormatRequest TakeStoreDialogRequest(WindowContext& ctx) {
    DialogTexts& dialogs = ctx.window.dialogs;
    dialogs.usbIdText = FormatDialogId(dialogs.usbIdText);
    dialogs.usbBaseIdText = FormatDialogId(dialogs.usbBaseIdText);
    ctx.ui.Changed(WindowPart::Dialogs);
    return FormatRequest{dialogs.usbIdText, dialogs.usbBaseIdText, dialogs.usbAppendId};
}

// What the selected store's DISKS.TXT could not give, for message boxes.
std::string UnreadDescriptionsText(WindowContext& ctx) {
    std::string text = "DISKS.TXT could not be read in full:";
    for (const std::string& problem : ctx.state.slotTable.descriptionsFile.problems) {
        text += std::string(kCrLf) + problem;
    }
    return text;
}

// Drive 0 leaves the file to the dialog.
ImageTransferRequest ImageRequestFor(char drive) {
    if (drive == 0) {
        return {};
    }
    return ImageTransferRequest{.drive = FloppyDriveOf(drive)};
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* const kStoreFileFilter = "Image Files (*.img)|*.img|All Files (*.*)|*.*";

void ShowEntries(MenuModel& menus, std::initializer_list<MenuId> ids, bool visible) {
    for (MenuId id : ids) {
        menus[id].visible = visible;
    }
}

// The raw floppy entries of the Image menu and their separators, for the
// drives the last look found.
void ShowFloppyEntries(WindowContext& ctx) {
    const FloppyState& floppies = ctx.state.floppies;
    MenuModel& menus = ctx.window.menus;
    ShowEntries(menus, {MenuId::Image_Menu_Separator_1, MenuId::Image_Menu_Separator_2}, false);
    if (floppies.hasDriveA) {
        ShowEntries(menus,
                    {MenuId::Image_Menu_Separator_1, MenuId::Image_Menu_Import_A_Raw,
                     MenuId::Image_Menu_Separator_2, MenuId::Image_Menu_Export_A_Raw},
                    true);
    } else {
        ShowEntries(menus, {MenuId::Image_Menu_Import_A_Raw, MenuId::Image_Menu_Export_A_Raw},
                    false);
    }
    if (floppies.hasDriveB) {
        ShowEntries(menus,
                    {MenuId::Image_Menu_Separator_1, MenuId::Image_Menu_Import_B_Raw,
                     MenuId::Image_Menu_Separator_2, MenuId::Image_Menu_Export_B_Raw},
                    true);
    } else {
        ShowEntries(menus, {MenuId::Image_Menu_Import_B_Raw, MenuId::Image_Menu_Export_B_Raw},
                    false);
    }
    ctx.ui.Changed(WindowPart::Menus);
}

// A new file of a store's length; one byte at the very end gives the whole
// length without writing the rest. False after the error report.
bool MakeEmptyStoreFile(WindowContext& ctx, const std::string& path) {
    OpenResult created = ctx.devices.Open(path, Access::Write, Disposition::CreateNew);
    if (!created.file) {
        ErrorReport(ctx, created.error, "QrnMNewStoreFile", path);
        return false;
    }
    const std::byte last{0};
    int error = created.file->Seek(kStoreBytes - 1);
    if (error == 0) {
        const IoResult written = created.file->Write(&last, 1);
        error = written.error != 0 ? written.error : (written.bytes == 1 ? 0 : 28);
    }
    if (error == 0) {
        error = created.file->Flush();
    }
    created.file.reset();
    if (error != 0) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        ErrorReport(ctx, error, "QrnMNewStoreFile", path);
        return false;
    }
    return true;
}

}  // namespace

void RefreshFloppyEntries(WindowContext& ctx) {
    ctx.state.floppies = FindFloppyDrives(ctx.drives);
    ShowFloppyEntries(ctx);
}

void ScanStores(WindowContext& ctx) {
    RefreshMainWindow(ctx, StateReset);
    const bool scanned = ScanDrives(ctx, ctx.state.devices, ctx.state.floppies);
    ShowFloppyEntries(ctx);
    if (scanned) {
        RefreshMainWindow(ctx, ctx.state.devices.count);
    }
}

// Loading, and saving DISKS.TXT, for callers that hold the store's lock.
bool LoadStoreLocked(WindowContext& ctx) {
    const Outcome loaded = LoadDiskIds(ctx, ctx.state.SelectedStore());
    if (ctx.state.slotTable.storeId) {
        ctx.window.dialogs.usbIdText = *ctx.state.slotTable.storeId;
        ctx.ui.Changed(WindowPart::Dialogs);
    }
    if (loaded == Outcome::NotStarted) {
        return false;  // nothing was read: the window stays as it is
    }
    if (loaded == Outcome::Incomplete) {
        RefreshMainWindow(ctx, ctx.state.devices.count);
        return false;
    }
    const DeviceEntry& entry = ctx.state.SelectedEntry();
    SetFrameCaption(ctx,
                    " Disk Selector (??"
                    "?) [" +
                        entry.name + " (" + entry.path + ")] ");
    RefreshMainWindow(ctx, StateDeviceLoaded);
    LoadDescriptions(ctx, ctx.state.SelectedStore());
    ctx.window.grid.FitRowHeights();
    ctx.ui.Changed(WindowPart::Grid);
    if (!ctx.state.slotTable.descriptionsFile.problems.empty()) {
        ctx.ui.ShowMessage(MessageRequest{"Disk Descriptions", UnreadDescriptionsText(ctx),
                                          MessageButtons::Ok, MessageIcon::Exclamation});
    }
    if (ctx.state.slotTable.writeUnfinished) {
        ctx.ui.ShowMessage(MessageRequest{"Format Or Restore Not Finished",
                                          "The last format or restore of " + entry.path +
                                              " did not finish." + std::string(kCrLf) +
                                              "Its slots may mix old and new disks. Run it again.",
                                          MessageButtons::Ok, MessageIcon::Exclamation});
    }
    if (const std::string slots = UnfinishedSlotsText(ctx.state.slotTable, kCrLf); !slots.empty()) {
        ctx.ui.ShowMessage(
            {"Slot Not Completely Written", slots, MessageButtons::Ok, MessageIcon::Exclamation});
    }
    return true;
}

namespace {

void SaveDescriptionsLocked(WindowContext& ctx) {
    SaveDescriptions(ctx, ctx.state.SelectedStore());
}

}  // namespace

bool LoadSelectedStore(WindowContext& ctx) {
    // Exclusive: loading creates a missing DISKS.TXT.
    const std::unique_ptr<StoreLock> lock = LockSelectedStore(ctx, LockKind::Exclusive);
    return lock && LoadStoreLocked(ctx);
}

void SelectDevice(WindowContext& ctx, int index) {
    if (index < 1 || index > ctx.state.devices.count) {
        return;
    }
    // An edit typed for the previous store must not land in this one.
    CloseEditWithoutSaving(ctx);
    ctx.state.selectedDevice = index;
    // A store whose IDs could not be read is not loaded: there are no
    // descriptions to read either.
    LoadSelectedStore(ctx);
}

void ExportStoreToFile(WindowContext& ctx) {
    const std::unique_ptr<StoreLock> lock = LockSelectedStore(ctx, LockKind::Shared);
    if (lock) {
        std::string path;
        BackupSelectedStore(ctx, path);
    }
}

OperationResult ImportStoreFromFile(WindowContext& ctx, std::string path) {
    const std::unique_ptr<StoreLock> lock = LockSelectedStore(ctx, LockKind::Exclusive);
    if (!lock) {
        return OperationResult::NotStarted(NotStartedReason::Refused);
    }
    const OperationResult result = RestoreSelectedStore(ctx, path);
    if (result.outcome == Outcome::NotStarted) {
        return result;
    }
    ResetAfterWholeStoreWrite(ctx, result);
    return result;
}

OperationResult FormatStoreFromDialog(WindowContext& ctx, const std::string& openedForPath) {
    const FormatRequest request = TakeStoreDialogRequest(ctx);
    ProgramState& state = ctx.state;
    if (state.selectedDevice == 0 || state.SelectedEntry().path != openedForPath) {
        // The dialog does not block the window: the store it named may have
        // been replaced by another one in the meantime.
        ctx.ui.ShowMessage(
            MessageRequest{"Format USB (1000 Floppy Images)",
                           "The selected device changed after this dialog was opened." +
                               std::string(kCrLf) + "Nothing was formatted.",
                           MessageButtons::Ok, MessageIcon::Exclamation});
        return OperationResult::NotStarted(NotStartedReason::Refused);
    }
    const std::unique_ptr<StoreLock> lock = LockSelectedStore(ctx, LockKind::Exclusive);
    if (!lock) {
        return OperationResult::NotStarted(NotStartedReason::Refused);
    }
    const OperationResult result = FormatSelectedStore(ctx, request);
    ResetAfterWholeStoreWrite(ctx, result);
    return result;
}

bool OpenStoreFile(WindowContext& ctx, const std::string& path) {
    const LengthResult length = ctx.devices.FileLength(path);
    if (!length.length) {
        ErrorReport(ctx, length.error, "QrnMOpenStoreFile", path);
        return false;
    }
    if (*length.length != kStoreBytes) {
        RefuseStoreFileLength(ctx, path, *length.length);
        return false;
    }
    // The terminal tool's check: a file of the right size is not a store yet.
    const std::optional<std::array<std::byte, kBootSectorBytes>> sector =
        StoreFirstSector(ctx, path);
    if (!sector) {
        return false;
    }
    if (!IsStoreBootSector(*sector)) {
        RefuseNotAStore(ctx, path);
        return false;
    }
    RefreshMainWindow(ctx, StateReset);
    ProgramState& state = ctx.state;
    state.devices.Row(1) = DeviceEntry{FileNameOf(path), path, -1, "", kStoreBytes};
    state.devices.count = 1;
    RefreshMainWindow(ctx, 1);
    if (state.adminRights != 1) {
        // Files need no rights, but a scan for devices still does.
        ctx.window.menus[MenuId::File_Menu_Scan].visible = false;
        ctx.window.menus[MenuId::File_Menu_Separator_4].visible = false;
        ctx.ui.Changed(WindowPart::Menus);
    }
    SelectDevice(ctx, 1);
    return true;
}

void OpenStoreFileCommand(WindowContext& ctx) {
    const std::optional<std::string> path = ctx.ui.AskOpenFile(FileDialogRequest{
        "Open 1000 Floppy Image", "", "img", kStoreFileFilter, 1, ChosenFile::Existing});
    if (path) {
        OpenStoreFile(ctx, *path);
    }
}

std::optional<std::string> AskNewStoreFile(WindowContext& ctx) {
    std::optional<std::string> path = ctx.ui.AskSaveFile(FileDialogRequest{
        "New 1000 Floppy Image", "", "img", kStoreFileFilter, 1, ChosenFile::AnyName});
    // Said before the IDs are asked for: an existing file is never replaced.
    if (path && ctx.devices.FileExists(*path)) {
        ErrorReport(ctx, EEXIST, "QrnMNewStoreFile", *path);
        return std::nullopt;
    }
    return path;
}

OperationResult NewStoreFileFromDialog(WindowContext& ctx, const std::string& path) {
    const FormatRequest request = TakeStoreDialogRequest(ctx);
    if (!MakeEmptyStoreFile(ctx, path)) {
        return OperationResult::NotStarted(NotStartedReason::Failure);
    }
    // The new file is the only store, selected, while it is formatted.
    RefreshMainWindow(ctx, StateReset);
    ProgramState& state = ctx.state;
    state.devices.Row(1) = DeviceEntry{FileNameOf(path), path, -1, "", kStoreBytes};
    state.devices.count = 1;
    state.selectedDevice = 1;
    const OperationResult result = FormatSelectedStore(ctx, request);
    RefreshMainWindow(ctx, StateReset);
    if (!result.Complete()) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        if (result.outcome == Outcome::Incomplete) {
            ctx.progress.Failed();
        }
        return result;
    }
    OpenStoreFile(ctx, path);
    return result;
}

void ImportImage(WindowContext& ctx, char drive) {
    ImportImageFrom(ctx, ImageRequestFor(drive));
}

void CancelCommand(Context& ctx) {
    ctx.state.cancelRequested = true;
}

void ExportImage(WindowContext& ctx, char drive) {
    ExportImageTo(ctx, ImageRequestFor(drive));
}

OperationResult ExportImageToSlot(WindowContext& ctx) {
    if (!MayReplaceDescriptions(ctx)) {
        return OperationResult::NotStarted(NotStartedReason::Refused);
    }
    // One lock for the slot, its record and the reload.
    const std::unique_ptr<StoreLock> lock = LockSelectedStore(ctx, LockKind::Exclusive);
    if (!lock) {
        return OperationResult::NotStarted(NotStartedReason::Refused);
    }
    const OperationResult result = ExportToSlot(
        ctx, ctx.state.SelectedStore(), ctx.state.selectedDisk, ctx.state.imageBuffer.Span());
    if (result.Complete()) {
        ctx.state.imageChangesUnexported = false;
    }
    SaveDescriptionsLocked(ctx);
    LoadStoreLocked(ctx);
    return result;
}

void SaveStoreDescriptions(WindowContext& ctx) {
    if (ctx.state.selectedDevice == 0 || !MayReplaceDescriptions(ctx)) {
        return;
    }
    if (const std::unique_ptr<StoreLock> lock = LockSelectedStore(ctx, LockKind::Exclusive)) {
        SaveDescriptionsLocked(ctx);
    }
    // Texts taken from the store may need other heights; rows not saved look apart.
    ctx.window.grid.FitRowHeights();
    ctx.ui.Changed(WindowPart::Grid);
}

bool MayReplaceDescriptions(WindowContext& ctx) {
    DescriptionsFileState& file = ctx.state.slotTable.descriptionsFile;
    if (file.folder) {
        ctx.ui.ShowMessage(MessageRequest{
            "Disk Descriptions", "DISKS.TXT is a folder in slot 0, so no description can be saved.",
            MessageButtons::Ok, MessageIcon::Exclamation});
        return false;
    }
    if (file.problems.empty() || file.replaceConfirmed) {
        return true;
    }
    const std::string text = UnreadDescriptionsText(ctx) + std::string(kCrLf) + std::string(kCrLf) +
                             "Replace it? What could not be read in it is lost.";
    file.replaceConfirmed =
        ctx.ui.ShowMessage(MessageRequest{"Disk Descriptions", text, MessageButtons::OkCancel,
                                          MessageIcon::Exclamation}) == MessageAnswer::Ok;
    return file.replaceConfirmed;
}

}  // namespace quarnex
