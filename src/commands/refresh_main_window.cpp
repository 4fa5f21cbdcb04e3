#include "commands/refresh_main_window.hpp"

#include "commands/safely_remove.hpp"
#include "commands/status.hpp"
#include "core/text.hpp"
#include "state/progress.hpp"

namespace quarnex {

namespace {

void Show(MenuModel& menus, MenuId id, bool visible) {
    menus[id].visible = visible;
}

void ShowUsbDiskEntries(MenuModel& menus, bool visible, bool enabled, const std::string& caption) {
    for (MenuId id :
         {MenuId::Image_Menu_Import_USB_DISKxxx, MenuId::Image_Menu_Export_USB_DISKxxx}) {
        menus[id].visible = visible;
        menus[id].enabled = enabled;
        if (!caption.empty()) {
            menus[id].caption = caption;
        }
    }
}

void HideStoreCommands(MenuModel& menus) {
    for (MenuId id :
         {MenuId::File_Menu_Import, MenuId::File_Menu_Export, MenuId::File_Menu_ExportFolder,
          MenuId::File_Menu_ImportFolder, MenuId::File_Menu_Separator_2, MenuId::File_Menu_Format,
          MenuId::File_Menu_Find, MenuId::File_Menu_Separator_3}) {
        Show(menus, id, false);
    }
}

// An internal image taken from a slot no longer matches the store once the
// store is forgotten or reloaded.
void MarkSlotImageUnreliable(Context& ctx) {
    if (ctx.state.imageSource == SourceUsbSlot) {
        SetBufferOpaque(ctx, true);
    }
}

void ForgetBaseId(ProgramState& state) {
    state.slotTable.baseId.clear();
    state.slotTable.baseIdPresent = false;
    state.slotTable.baseIdNumbered = false;
}

// No store chosen: the edit closed unsaved, the grid emptied, the slot image
// no longer trusted.
void ForgetSelectedStore(WindowContext& ctx) {
    CloseEditWithoutSaving(ctx);
    SetFrameCaption(ctx, " Disk Selection ");
    ctx.window.grid.Reset();
    ctx.ui.Changed(WindowPart::Grid);
    MarkSlotImageUnreliable(ctx);
    ctx.state.selectedDisk = 0;
    ctx.state.selectedDevice = 0;
    ForgetBaseId(ctx.state);
}

void ResetState(WindowContext& ctx) {
    ProgramState& state = ctx.state;
    MenuModel& menus = ctx.window.menus;
    for (int i = 1; i <= 4; ++i) {
        Show(menus, MenuModel::SelectEntry(i), false);
    }
    Show(menus, MenuId::File_Menu_Separator_1, false);
    HideStoreCommands(menus);
    menus[MenuId::File_Menu_Scan].caption = "Scan Drives";
    Show(menus, MenuId::File_Menu_Scan, state.adminRights == 1);
    Show(menus, MenuId::File_Menu_Separator_4, state.adminRights == 1);
    menus[MenuId::File_Menu_Exit].enabled = true;
    ShowUsbDiskEntries(menus, false, menus[MenuId::Image_Menu_Import_USB_DISKxxx].enabled, "");
    ShowSafelyRemove(ctx);
    ctx.ui.Changed(WindowPart::Menus);

    state.status.actionLabel.clear();
    state.status.progressLabel = "Progress";
    state.status.progressBar = 0;
    ctx.ui.Changed(WindowPart::ActionLabel);
    ctx.ui.Changed(WindowPart::ProgressLabel);
    ctx.ui.Changed(WindowPart::ProgressBar);

    ForgetSelectedStore(ctx);
    state.devices.count = 0;
}

void DeviceListState(WindowContext& ctx, int count) {
    ProgramState& state = ctx.state;
    MenuModel& menus = ctx.window.menus;
    for (int i = 1; i <= count; ++i) {
        MenuEntry& entry = menus[MenuModel::SelectEntry(i)];
        entry.caption = "Select Device &" + state.devices.Row(i).name;
        entry.visible = true;
    }
    Show(menus, MenuId::File_Menu_Separator_1, true);
    HideStoreCommands(menus);
    menus[MenuId::File_Menu_Scan].caption = "ReScan Drives";
    Show(menus, MenuId::File_Menu_Scan, true);
    Show(menus, MenuId::File_Menu_Separator_4, true);
    menus[MenuId::File_Menu_Exit].enabled = true;
    ShowUsbDiskEntries(menus, false, menus[MenuId::Image_Menu_Import_USB_DISKxxx].enabled, "");
    ShowSafelyRemove(ctx);
    ctx.ui.Changed(WindowPart::Menus);

    ForgetSelectedStore(ctx);
}

void DeviceLoadedState(WindowContext& ctx, const std::string& letter) {
    MenuModel& menus = ctx.window.menus;
    Show(menus, MenuId::File_Menu_Separator_1, true);
    // The kernel name stands where a drive letter and its colon would.
    menus[MenuId::File_Menu_Import].caption = "&File  ->  USB  " + letter + "  Disks(0-999)";
    menus[MenuId::File_Menu_Export].caption = "&USB  " + letter + "  Disks(0-999) ->  File";
    menus[MenuId::File_Menu_Format].caption = "&Format  USB  " + letter + "  Disks(0-999)";
    for (MenuId id :
         {MenuId::File_Menu_Import, MenuId::File_Menu_Export, MenuId::File_Menu_ExportFolder,
          MenuId::File_Menu_ImportFolder, MenuId::File_Menu_Format, MenuId::File_Menu_Find,
          MenuId::File_Menu_Separator_2, MenuId::File_Menu_Separator_3}) {
        Show(menus, id, true);
    }
    ShowUsbDiskEntries(menus, true, false, "USB Disk # ???");
    ShowSafelyRemove(ctx);
    ctx.ui.Changed(WindowPart::Menus);
    MarkSlotImageUnreliable(ctx);
}

void DiskSelectedState(WindowContext& ctx, const std::string& diskText, const std::string& letter,
                       const std::string& path) {
    ShowUsbDiskEntries(ctx.window.menus, true, true, "USB Disk # " + diskText);
    ctx.ui.Changed(WindowPart::Menus);
    SetFrameCaption(ctx, " Disk Selector (" + diskText + ") [" + letter + " (" + path + ")] ");
}

}  // namespace

void SetFrameCaption(WindowContext& ctx, std::string caption) {
    ctx.window.frameCaption = std::move(caption);
    ctx.ui.Changed(WindowPart::FrameCaption);
}

void ApplyBusyState(WindowContext& ctx) {
    MenuModel& menus = ctx.window.menus;
    const bool busy = ctx.state.busy;
    menus[MenuId::Menu_Spacer_3].visible = busy;
    menus[MenuId::Cancel_Menu].visible = busy;
    menus.busy = busy;
}

void CloseEditWithoutSaving(WindowContext& ctx) {
    EditState& edit = ctx.window.edit;
    edit.boxVisible = false;
    edit.EditingActive = false;
    ctx.ui.Changed(WindowPart::EditBox);
}

void RefreshMainWindow(WindowContext& ctx, int state) {
    ProgramState& program = ctx.state;
    const std::string diskText =
        program.selectedDisk == 0 ? std::string("???") : ThreeDigits(program.selectedDisk);
    std::string letter;
    std::string path;
    if (program.selectedDevice != 0) {
        letter = program.SelectedEntry().name;
        path = program.SelectedEntry().path;
    }
    ctx.progress.Over();

    if (state == StateReset) {
        ResetState(ctx);
    } else if (state >= 1 && state <= 4) {
        DeviceListState(ctx, state);
    } else if (state == StateDeviceLoaded) {
        DeviceLoadedState(ctx, letter);
    } else if (state == StateDiskSelected) {
        DiskSelectedState(ctx, diskText, letter, path);
    }
}

void ResetAfterWholeStoreWrite(WindowContext& ctx, const OperationResult& result) {
    RefreshMainWindow(ctx, StateReset);
    if (result.Complete()) {
        ctx.progress.Finished();
    } else if (result.outcome == Outcome::Incomplete) {
        // The store now holds a mix of old and new slots.
        ctx.progress.Failed();
    }
}

}  // namespace quarnex
