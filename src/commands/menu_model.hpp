#pragma once
// The main window's menu tree as plain data: every entry's caption,
// visibility and enabled state. Plain code changes it; the GUI renders it.

#include <array>
#include <cstddef>
#include <string>

namespace quarnex {

enum class MenuId : std::size_t {
    File_Menu,
    File_Menu_OpenStoreFile,  // whole-store image files, for work without a stick
    File_Menu_NewStoreFile,
    File_Menu_Separator_0,
    File_Menu_Select_1,
    File_Menu_Select_2,
    File_Menu_Select_3,
    File_Menu_Select_4,
    File_Menu_Separator_1,
    File_Menu_Export,
    File_Menu_Import,
    File_Menu_ExportFolder,  // used slots as numbered image files in a folder
    File_Menu_ImportFolder,
    File_Menu_Separator_2,
    File_Menu_Format,
    File_Menu_Find,  // file names, IDs and descriptions in every slot
    File_Menu_Separator_3,
    File_Menu_Scan,
    File_Menu_SafelyRemove,  // powers the selected stick off
    File_Menu_Separator_4,
    File_Menu_Exit,
    Menu_Spacer_1,
    Image_Menu,
    Image_Menu_Import,
    Image_Menu_Import_Image_File,
    Image_Menu_Import_USB_DISKxxx,
    Image_Menu_Separator_1,
    Image_Menu_Import_A_Raw,
    Image_Menu_Import_B_Raw,
    Menu_Image_Export,
    Image_Menu_Export_Image_File,
    Image_Menu_Export_USB_DISKxxx,
    Image_Menu_Separator_2,
    Image_Menu_Export_A_Raw,
    Image_Menu_Export_B_Raw,
    Image_Menu_Contents,  // the files inside the internal image
    Menu_Image_Separator_3,
    Image_Menu_Format,
    Menu_Image_Zero,
    Menu_Spacer_2,
    Help_Menu,
    Help_Menu_Documentation,
    Help_Menu_System,
    Help_Menu_About,
    Menu_Spacer_3,
    Cancel_Menu,
    Count
};

inline constexpr std::size_t kMenuCount = static_cast<std::size_t>(MenuId::Count);

struct MenuEntry {
    std::string caption;  // "-" for a separator
    bool visible = true;
    bool enabled = true;
};

class MenuModel {
  public:
    // The tree as designed: every entry shown and enabled except the hidden
    // spacers.
    MenuModel();

    MenuEntry& operator[](MenuId id) { return entries_[static_cast<std::size_t>(id)]; }
    const MenuEntry& operator[](MenuId id) const { return entries_[static_cast<std::size_t>(id)]; }

    // The i-th "Select Device" entry, i = 1..4.
    static MenuId SelectEntry(int i);

    // Set while an operation holds its BusyGuard entered.
    bool busy = false;

  private:
    std::array<MenuEntry, kMenuCount> entries_;
};

// Whether a command may run while a long operation is under way. Commands that
// start another long operation or change the store may not: they would share
// the buffers and the device with the running one.
bool AllowedWhileBusy(MenuId id);

// The state the GUI shows: the entry's own enabled flag, further disabled
// while busy for the commands that must wait.
bool EffectivelyEnabled(const MenuModel& menus, MenuId id);

}  // namespace quarnex
