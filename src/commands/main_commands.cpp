#include "commands/main_commands.hpp"

#include "commands/refresh_main_window.hpp"
#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "device/error_report.hpp"
#include "image/image_export.hpp"
#include "image/image_format.hpp"
#include "image/image_import.hpp"
#include "scan/drive_scan.hpp"
#include "store/descriptions.hpp"
#include "store/disk_ids.hpp"
#include "store/format_usb.hpp"
#include "store/slot_transfer.hpp"
#include "store/store_file_copy.hpp"
#include "store/store_paths.hpp"

namespace quarnex {

namespace {

// The raw floppy drives as the image operations name them.
std::string FloppyDrivePath(char drive) {
    return drive == 'B' ? "\\\\.\\b:" : "\\\\.\\a:";
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* const kStoreFileFilter = "Image Files (*.img)|*.img|All Files (*.*)|*.*";

}  // namespace

void RefreshFloppyEntries(Context& ctx) {
    CheckFloppyDrives(ctx);
}

void ScanStores(Context& ctx) {
    ScanDrives(ctx);
}

void SelectDevice(Context& ctx, int index) {
    if (index < 1 || index > ctx.state.devices.DeviceCount) {
        return;
    }
    // An edit typed for the previous store must not land in this one.
    CloseEditWithoutSaving(ctx);
    ctx.state.SelectedDevice = index;
    // A store whose IDs could not be read is not loaded: there are no
    // descriptions to read either.
    if (LoadDiskIds(ctx)) {
        LoadDescriptions(ctx);
    }
}

void ExportStoreToFile(Context& ctx) {
    std::string path;
    fntCopyUSBToFile(ctx, path);
}

void ImportStoreFromFile(Context& ctx) {
    std::string path;
    CopyFileToUSBCommand(ctx, path);
}

void FormatStoreFromDialog(Context& ctx, const std::string& openedForPath) {
    FormatDialogOk(ctx, openedForPath);
}

bool OpenStoreFile(Context& ctx, const std::string& path) {
    const LengthResult length = ctx.devices.FileLength(path);
    if (!length.length) {
        ErrorReport(ctx, length.error, "QrnMOpenStoreFile", path);
        return false;
    }
    if (*length.length != kStoreBytes) {
        ctx.ui.ShowMessage(MessageRequest{
            "Image File Length Invalid",
            "Not a 1000 Floppy Image File." + std::string(kCrLf) + path + std::string(kCrLf) +
                "File Length = " + FormatThousands(static_cast<std::int64_t>(*length.length)),
            MessageButtons::Ok, MessageIcon::Exclamation});
        return false;
    }
    RefreshMainWindow(ctx, StateReset);
    ProgramState& state = ctx.state;
    state.devices.Row(1) = DeviceEntry{FileNameOf(path), path, -1, "", kStoreBytes};
    state.devices.DeviceCount = 1;
    RefreshMainWindow(ctx, 1);
    if (state.AdminRights != 1) {
        // Files need no rights, but a scan for devices still does.
        state.window.menus[MenuId::File_Menu_Scan].visible = false;
        state.window.menus[MenuId::File_Menu_Seperator_4].visible = false;
        ctx.ui.Changed(WindowPart::Menus);
    }
    SelectDevice(ctx, 1);
    return true;
}

void OpenStoreFileCommand(Context& ctx) {
    const std::optional<std::string> path = ctx.ui.AskOpenFile(
        FileDialogRequest{"Open 1000 Floppy Image", "", "img", kStoreFileFilter, 1,
                          kOfnPathMustExist | kOfnFileMustExist | kOfnHideReadOnly});
    if (path) {
        OpenStoreFile(ctx, *path);
    }
}

bool NewStoreFile(Context& ctx, const std::string& path) {
    OpenResult created = ctx.devices.Open(path, Access::Write, Disposition::CreateNew);
    if (!created.file) {
        ErrorReport(ctx, created.error, "QrnMNewStoreFile", path);
        return false;
    }
    // One byte at the very end gives the whole length without writing the rest.
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
        ErrorReport(ctx, error, "QrnMNewStoreFile", path);
        return false;
    }
    return OpenStoreFile(ctx, path);
}

void NewStoreFileCommand(Context& ctx) {
    const std::optional<std::string> path =
        ctx.ui.AskSaveFile(FileDialogRequest{"New 1000 Floppy Image", "", "img", kStoreFileFilter,
                                             1, kOfnPathMustExist | kOfnHideReadOnly});
    if (path) {
        NewStoreFile(ctx, *path);
    }
}

void ImportImage(Context& ctx, char drive) {
    std::string source = drive == 0 ? std::string() : FloppyDrivePath(drive);
    fntImportFromFlpyImag(ctx, source);
}

void ImportImageFromSlot(Context& ctx) {
    ImportFromSlot(ctx, ctx.state.SelectedDisk);
}

void ExportImage(Context& ctx, char drive) {
    std::string target = drive == 0 ? std::string() : FloppyDrivePath(drive);
    fntExportToFlpyImag(ctx, target);
}

void ExportImageToSlot(Context& ctx) {
    ExportToSlotCommand(ctx, ctx.state.SelectedDisk);
}

void FormatImageFromDialog(Context& ctx) {
    FlpyIdOkClicked(ctx);
}

void ZeroImage(Context& ctx) {
    ZeroInternalImage(ctx);
}

void SaveStoreDescriptions(Context& ctx) {
    if (ctx.state.SelectedDevice != 0) {
        sbrSaveDescriptions(ctx, StoreDescriptionsName(ctx));
    }
}

}  // namespace quarnex
