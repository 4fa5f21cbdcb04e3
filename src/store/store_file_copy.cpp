#include "store/store_file_copy.hpp"

#include <filesystem>
#include <span>
#include <system_error>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "state/error_report.hpp"
#include "state/progress.hpp"
#include "state/reported_io.hpp"
#include "state/status.hpp"
#include "store/descriptions.hpp"
#include "store/store_write_access.hpp"
#include "store/unit_loop.hpp"

namespace quarnex {

namespace {

constexpr const char* kImageFilter = "Image Files (*.img)|*.img|All Files (*.*)|*.*";
constexpr std::uint32_t kExportDialogOptions = kOfnOverwritePrompt | kOfnPathMustExist;  // 2050
constexpr std::uint32_t kImportDialogOptions = kOfnPathMustExist | kOfnFileMustExist;    // 6144

FileDialogRequest StoreFileDialog(const char* title, std::uint32_t options) {
    return FileDialogRequest{title, "", "img", kImageFilter, 1, options};
}

// Asks for the file when none was given; false when the dialog was
// cancelled, which passes silently.
bool ChooseFile(Context& ctx, std::string& path, bool forSaving) {
    if (!path.empty()) {
        return true;
    }
    const std::optional<std::string> chosen =
        forSaving
            ? ctx.ui.AskSaveFile(StoreFileDialog("Export 1000 Floppy Image", kExportDialogOptions))
            : ctx.ui.AskOpenFile(StoreFileDialog("Import 1000 Floppy Image", kImportDialogOptions));
    if (!chosen || chosen->empty()) {
        return false;
    }
    path = *chosen;
    return true;
}

// Replacing the export target must never destroy the store being read.
bool IsSameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

void ShowRefusal(Context& ctx, std::string title, std::string text) {
    ctx.ui.ShowMessage(MessageRequest{std::move(title), std::move(text), MessageButtons::Ok,
                                      MessageIcon::Exclamation});
}

}  // namespace

bool fntCopyUSBToFile(Context& ctx, std::string& path) {
    ShowProgress(ctx, -1, 0);
    if (!ChooseFile(ctx, path, true)) {
        BusyOff(ctx);
        return false;
    }
    const DeviceEntry store = ctx.state.SelectedEntry();
    if (IsSameFile(path, store.DevicePath)) {
        ShowRefusal(ctx, "Export 1000 Floppy Image",
                    "A USB device cannot be exported onto itself." + std::string(kCrLf) + path);
        return false;
    }
    // The device first: a store that cannot be read leaves an existing file
    // as it was.
    DevHandle device = GetHandle(ctx, store.DevicePath, FILE_GENERIC_READ, FILE_SHARE_READ_WRITE,
                                 OPEN_EXISTING, false);
    if (!device.Valid()) {
        BusyOff(ctx);
        return false;
    }
    DevHandle file =
        GetHandle(ctx, path, FILE_GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, false);
    if (!file.Valid()) {
        CloseDevHandle(ctx, device);
        BusyOff(ctx);
        return false;
    }
    BusyOn(ctx);

    const std::string shownPath = ShortenPath(path);
    const std::span<std::byte> buffer = ctx.state.TransferBuffer.Span();
    bool complete = RunUnits(ctx, kSlotCount, [&](int n) {
        SetActionLabel(ctx, "Export of USB Disk(" + ThreeDigits(n) + ") to " + shownPath);
        // A cancel stops the copy before the slot just read is written.
        return fntReadPtr(ctx, device, buffer, 0, kSlotStride, kCurrentPosition, false) &&
               NotCancelled(ctx) &&
               fntWritePtr(ctx, file, buffer, 0, kSlotStride, kCurrentPosition, false);
    });
    CloseDevHandle(ctx, device);
    complete = CloseDevHandle(ctx, file) && complete;
    if (complete) {
        ShowProgress(ctx, kSlotCount - 1, kSlotCount - 1);
    }

    sbrSaveDescriptions(ctx, path);
    BusyOff(ctx);
    return complete;
}

Outcome fntCopyFileToUSB(Context& ctx, std::string& path) {
    ShowProgress(ctx, -1, 0);
    if (!ChooseFile(ctx, path, false)) {
        BusyOff(ctx);
        return Outcome::NotStarted;
    }
    const LengthResult length = ctx.devices.FileLength(path);
    if (!length.length) {
        ErrorReport(ctx, SystemTrappedError(ctx, length.error, "FileLen"), "QrnMfntCopyFileToUSB.");
        BusyOff(ctx);
        return Outcome::NotStarted;
    }
    if (*length.length != kStoreBytes) {
        ShowRefusal(
            ctx, "Image File Length Invalid",
            "Not a 1000 Floppy Image File." + std::string(kCrLf) + path + std::string(kCrLf) +
                "File Length = " + FormatThousands(static_cast<std::int64_t>(*length.length)));
        return Outcome::NotStarted;
    }
    DevHandle file =
        GetHandle(ctx, path, FILE_GENERIC_READ, FILE_SHARE_READ_WRITE, OPEN_EXISTING, false);
    if (!file.Valid()) {
        BusyOff(ctx);
        return Outcome::NotStarted;
    }
    std::optional<StoreWriteHandles> handles = OpenStoreForWriting(ctx);
    if (!handles) {
        CloseDevHandle(ctx, file);
        BusyOff(ctx);
        return Outcome::NotStarted;
    }
    BusyOn(ctx);

    const std::string shownPath = ShortenPath(path);
    const std::span<std::byte> buffer = ctx.state.TransferBuffer.Span();
    bool complete = RunUnits(ctx, kSlotCount, [&](int n) {
        SetActionLabel(ctx, "Import of USB Disk(" + ThreeDigits(n) + ") From " + shownPath);
        // A cancel stops the copy after the current slot has been written.
        return fntReadPtr(ctx, file, buffer, 0, kSlotStride, kCurrentPosition, false) &&
               fntWritePtr(ctx, handles->device, buffer, 0, kSlotStride, kCurrentPosition, false) &&
               NotCancelled(ctx);
    });
    CloseDevHandle(ctx, file);
    complete = CloseStore(ctx, *handles) && complete;
    if (complete) {
        ShowProgress(ctx, kSlotCount - 1, kSlotCount - 1);
    } else {
        ShowProgress(ctx, -1, -1);
    }
    BusyOff(ctx);
    return complete ? Outcome::Complete : Outcome::Incomplete;
}

}  // namespace quarnex
