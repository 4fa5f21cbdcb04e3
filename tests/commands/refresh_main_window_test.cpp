#include "commands/refresh_main_window.hpp"

#include <gtest/gtest.h>

#include "state/progress.hpp"
#include "support/test_world.hpp"

namespace quarnex {
namespace {

using testing::TestWorld;

TEST(RefreshMainWindow, ResetHidesStoreCommandsAndForgetsTheSelection) {
    TestWorld w;
    MenuModel& menus = w.model.menus;
    // A stick loaded from its slot image, slot 7 selected and being edited,
    // an operation running.
    w.state.devices.Row(1) = DeviceEntry{"sdb", "/dev/sdb", 1, "", 0};
    w.state.devices.count = w.state.selectedDevice = 1;
    RefreshMainWindow(w.ctx, 1);
    RefreshMainWindow(w.ctx, StateDeviceLoaded);
    w.state.selectedDisk = 7;
    RefreshMainWindow(w.ctx, StateDiskSelected);
    SlotTable& slots = w.state.slotTable;
    slots.baseId = "FDISK";
    slots.baseIdPresent = slots.baseIdNumbered = true;
    slots.SetDiskId(7, "FDISK007   ", SlotChange::DiskIdRead);
    w.model.grid.SetMark(7, RowMark::Selection);
    slots.SetDescription(7, "two\r\nlines");
    w.model.grid.SetRowHeight(7, 600);
    w.model.edit.EditingActive = w.model.edit.boxVisible = true;
    w.state.imageSource = SourceUsbSlot;
    BusyGuard busy(w.ctx.progress);
    busy.Enter();

    RefreshMainWindow(w.ctx, StateReset);
    for (MenuId id :
         {MenuModel::SelectEntry(1), MenuId::File_Menu_Import, MenuId::File_Menu_Export,
          MenuId::File_Menu_Format, MenuId::Image_Menu_Import_USB_DISKxxx,
          MenuId::Image_Menu_Export_USB_DISKxxx, MenuId::Cancel_Menu, MenuId::Menu_Spacer_3}) {
        EXPECT_FALSE(menus[id].visible) << static_cast<int>(id);
    }
    EXPECT_EQ(menus[MenuId::File_Menu_Scan].caption, "Scan Drives");
    EXPECT_EQ(w.model.frameCaption, " Disk Selection ");
    const GridModel& grid = w.model.grid;
    EXPECT_EQ(grid.Cell(7, 0) + "|" + grid.Cell(7, 1) + "|" + grid.Cell(7, 2),
              " 007| ----------- |");
    EXPECT_EQ(w.model.grid.RowHeight(7), w.model.grid.BaseRowHeight());
    EXPECT_FALSE(w.model.edit.EditingActive || w.model.edit.boxVisible);
    EXPECT_EQ(w.state.selectedDisk + w.state.selectedDevice + w.state.devices.count, 0);
    EXPECT_TRUE(slots.baseId.empty() && !slots.baseIdPresent && !slots.baseIdNumbered);
    EXPECT_FALSE(menus.busy);
    EXPECT_TRUE(w.state.status.bufferOpaque) << "a slot's image is no longer what the slot holds";
}

}  // namespace
}  // namespace quarnex
