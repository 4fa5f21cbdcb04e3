#include "commands/refresh_main_window.hpp"

#include <gtest/gtest.h>

#include "state/progress.hpp"
#include "support/test_world.hpp"

namespace quarnex {
namespace {

using testing::TestWorld;

void FillTable(ProgramState& state, int count) {
    const char* names[] = {"", "sdb", "sdc", "sdd", "sde"};
    for (int i = 1; i <= count; ++i) {
        state.devices.Row(i) = DeviceEntry{names[i], std::string("/dev/") + names[i], i, "", 0};
    }
    state.devices.DeviceCount = count;
}

TEST(RefreshMainWindow, ResetHidesStoreCommandsAndForgetsTheSelection) {
    TestWorld w;
    MenuModel& menus = w.model.menus;
    FillTable(w.state, 2);
    w.state.SelectedDevice = 1;
    w.state.SelectedDisk = 7;
    w.state.slotTable.BaseId = "FDISK";
    w.state.slotTable.BaseIdPresent = w.state.slotTable.BaseIdNumbered = true;
    w.state.slotTable.SetCell(7, 1, " FDISK007    *");
    w.state.slotTable.SetCell(7, 2, "two\r\nlines");
    w.model.grid.SetRowHeight(7, 600);
    w.model.edit.EditingActive = true;
    w.model.edit.boxVisible = true;
    BusyOn(w.ctx);

    RefreshMainWindow(w.ctx, StateReset);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_FALSE(menus[MenuModel::SelectEntry(i)].visible);
    }
    for (MenuId id : {MenuId::File_Menu_Import, MenuId::File_Menu_Export, MenuId::File_Menu_Format,
                      MenuId::Image_Menu_Import_USB_DISKxxx, MenuId::Image_Menu_Export_USB_DISKxxx,
                      MenuId::Cancel_Menu, MenuId::Menu_Spacer_3}) {
        EXPECT_FALSE(menus[id].visible);
    }
    EXPECT_EQ(menus[MenuId::File_Menu_Scan].caption, "Scan Drives");
    EXPECT_TRUE(menus[MenuId::File_Menu_Scan].visible);
    EXPECT_TRUE(menus[MenuId::File_Menu_Exit].visible);
    EXPECT_EQ(w.model.frameCaption, " Disk Selection ");
    EXPECT_EQ(w.state.slotTable.Cell(7, 1), " ----------- ");
    EXPECT_EQ(w.state.slotTable.Cell(7, 2), "");
    EXPECT_EQ(w.state.slotTable.Cell(7, 0), " 007");
    EXPECT_EQ(w.model.grid.RowHeight(7), w.model.grid.BaseRowHeight());
    EXPECT_FALSE(w.model.edit.EditingActive);
    EXPECT_EQ(w.state.SelectedDisk, 0);
    EXPECT_EQ(w.state.SelectedDevice, 0);
    EXPECT_EQ(w.state.devices.DeviceCount, 0);
    EXPECT_EQ(w.state.slotTable.BaseId, "");
    EXPECT_FALSE(w.state.slotTable.BaseIdPresent || w.state.slotTable.BaseIdNumbered);
    EXPECT_FALSE(menus.busy);

    w.state.AdminRights = 0;
    RefreshMainWindow(w.ctx, StateReset);
    EXPECT_FALSE(menus[MenuId::File_Menu_Scan].visible) << "without rights only Exit remains";
    EXPECT_FALSE(menus[MenuId::File_Menu_Seperator_4].visible);
}

TEST(RefreshMainWindow, DeviceListShowsOnlyTheStoresOfTheLatestScan) {
    TestWorld w;
    MenuModel& menus = w.model.menus;
    FillTable(w.state, 4);
    RefreshMainWindow(w.ctx, 4);
    EXPECT_TRUE(menus[MenuModel::SelectEntry(4)].visible);

    RefreshMainWindow(w.ctx, StateReset);  // a rescan starts with a reset
    FillTable(w.state, 2);
    RefreshMainWindow(w.ctx, 2);
    EXPECT_EQ(menus[MenuModel::SelectEntry(1)].caption, "Select Device &sdb");
    EXPECT_EQ(menus[MenuModel::SelectEntry(2)].caption, "Select Device &sdc");
    EXPECT_TRUE(menus[MenuModel::SelectEntry(2)].visible);
    EXPECT_FALSE(menus[MenuModel::SelectEntry(3)].visible);
    EXPECT_FALSE(menus[MenuModel::SelectEntry(4)].visible);
    EXPECT_EQ(menus[MenuId::File_Menu_Scan].caption, "ReScan Drives");
    EXPECT_EQ(w.state.devices.DeviceCount, 2);
}

TEST(RefreshMainWindow, LoadedAndSelectedCaptions) {
    TestWorld w;
    MenuModel& menus = w.model.menus;
    FillTable(w.state, 1);
    RefreshMainWindow(w.ctx, 1);
    w.state.SelectedDevice = 1;
    RefreshMainWindow(w.ctx, StateDeviceLoaded);
    EXPECT_EQ(menus[MenuId::File_Menu_Import].caption, "&File  ->  USB  sdb  Disks(0-999)");
    EXPECT_EQ(menus[MenuId::File_Menu_Export].caption, "&USB  sdb  Disks(0-999) ->  File");
    EXPECT_EQ(menus[MenuId::File_Menu_Format].caption, "&Format  USB  sdb  Disks(0-999)");
    EXPECT_TRUE(menus[MenuId::File_Menu_Format].visible);
    EXPECT_EQ(menus[MenuId::Image_Menu_Import_USB_DISKxxx].caption, "USB Disk # ???");
    EXPECT_TRUE(menus[MenuId::Image_Menu_Export_USB_DISKxxx].visible);
    EXPECT_FALSE(menus[MenuId::Image_Menu_Export_USB_DISKxxx].enabled);

    w.state.SelectedDisk = 7;
    RefreshMainWindow(w.ctx, StateDiskSelected);
    EXPECT_EQ(menus[MenuId::Image_Menu_Import_USB_DISKxxx].caption, "USB Disk # 007");
    EXPECT_TRUE(menus[MenuId::Image_Menu_Import_USB_DISKxxx].enabled);
    EXPECT_EQ(w.model.frameCaption, " Disk Selector (007) [sdb (/dev/sdb)] ");

    // Loading again (after an export to a slot) disables the slot entries,
    // although the slot stays selected.
    RefreshMainWindow(w.ctx, StateDeviceLoaded);
    EXPECT_EQ(menus[MenuId::Image_Menu_Export_USB_DISKxxx].caption, "USB Disk # ???");
    EXPECT_FALSE(menus[MenuId::Image_Menu_Export_USB_DISKxxx].enabled);
    EXPECT_EQ(w.state.SelectedDisk, 7);
}

TEST(RefreshMainWindow, ASlotImageBecomesUnreliableAndOtherCodesOnlyLeaveBusy) {
    TestWorld w;
    w.state.ImageSourceKind = SourceUsbSlot;
    RefreshMainWindow(w.ctx, StateReset);
    EXPECT_TRUE(w.state.status.bufferOpaque);

    w.state.ImageSourceKind = SourceImageFile;
    w.state.status.bufferOpaque = false;
    w.model.frameCaption = "unchanged";
    BusyOn(w.ctx);
    RefreshMainWindow(w.ctx, 0);
    RefreshMainWindow(w.ctx, 42);
    EXPECT_FALSE(w.state.busy);
    EXPECT_EQ(w.model.frameCaption, "unchanged");
    EXPECT_FALSE(w.state.status.bufferOpaque);
}

}  // namespace
}  // namespace quarnex
