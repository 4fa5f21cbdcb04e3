#include "commands/menu_model.hpp"

namespace quarnex {

MenuModel::MenuModel() {
    auto set = [this](MenuId id, const char* caption, bool visible = true, bool enabled = true) {
        (*this)[id] = MenuEntry{caption, visible, enabled};
    };
    set(MenuId::File_Menu, "     &File     ");
    set(MenuId::File_Menu_OpenStoreFile, "&Open Store Image File...");
    set(MenuId::File_Menu_NewStoreFile, "&New Store Image File...");
    set(MenuId::File_Menu_Separator_0, "-");
    set(MenuId::File_Menu_Select_1, "Select Device &1 - 1:");
    set(MenuId::File_Menu_Select_2, "Select Device &2 - 2:");
    set(MenuId::File_Menu_Select_3, "Select Device &3 - 3:");
    set(MenuId::File_Menu_Select_4, "Select Device &4 - 4:");
    set(MenuId::File_Menu_Separator_1, "-");
    set(MenuId::File_Menu_Export, "USB &Device -> File");
    set(MenuId::File_Menu_Import, "&File -> USB Device");
    set(MenuId::File_Menu_ExportFolder, "Export &Slots To Folder...");
    set(MenuId::File_Menu_ImportFolder, "Import Fo&lder...");
    set(MenuId::File_Menu_Separator_2, "-");
    set(MenuId::File_Menu_Format, "&Format USB Device");
    set(MenuId::File_Menu_Find, "F&ind...");
    set(MenuId::File_Menu_Separator_3, "-");
    set(MenuId::File_Menu_Scan, "Re&Scan Devices");
    set(MenuId::File_Menu_SafelyRemove, "Safely &Remove", false, false);
    set(MenuId::File_Menu_Separator_4, "-");
    set(MenuId::File_Menu_Exit, "&Exit");
    set(MenuId::Menu_Spacer_1, "  ", false, false);
    set(MenuId::Image_Menu, "    &Image    ");
    set(MenuId::Image_Menu_Import, "&Import From");
    set(MenuId::Image_Menu_Import_Image_File, "&Image File");
    set(MenuId::Image_Menu_Import_USB_DISKxxx, "&USB DISK(xxx)");
    set(MenuId::Image_Menu_Separator_1, "-");
    set(MenuId::Image_Menu_Import_A_Raw, "&A: (Raw)");
    set(MenuId::Image_Menu_Import_B_Raw, "&B: (Raw)");
    set(MenuId::Menu_Image_Export, "&Export To");
    set(MenuId::Image_Menu_Export_Image_File, "&Image File");
    set(MenuId::Image_Menu_Export_USB_DISKxxx, "&USB DISK(xxx)");
    set(MenuId::Image_Menu_Separator_2, "-");
    set(MenuId::Image_Menu_Export_A_Raw, "&A: (Raw)");
    set(MenuId::Image_Menu_Export_B_Raw, "&B: (Raw)");
    set(MenuId::Image_Menu_Contents, "&Contents...");
    set(MenuId::Menu_Image_Separator_3, "-");
    set(MenuId::Image_Menu_Format, "&Format");
    set(MenuId::Menu_Image_Zero, "&Zero");
    set(MenuId::Menu_Spacer_2, "  ", false, false);
    set(MenuId::Help_Menu, "     &Help     ");
    set(MenuId::Help_Menu_Documentation, "&Documentation");
    set(MenuId::Help_Menu_System, "&System");
    set(MenuId::Help_Menu_About, "&About");
    set(MenuId::Menu_Spacer_3, "                ", false, true);
    set(MenuId::Cancel_Menu, "    &Cancel    ", false, true);
}

MenuId MenuModel::SelectEntry(int i) {
    return static_cast<MenuId>(static_cast<std::size_t>(MenuId::File_Menu_Select_1) +
                               static_cast<std::size_t>(i - 1));
}

bool AllowedWhileBusy(MenuId id) {
    switch (id) {
        case MenuId::File_Menu:
        case MenuId::Image_Menu:
        case MenuId::Help_Menu:
        case MenuId::Help_Menu_Documentation:
        case MenuId::Help_Menu_System:
        case MenuId::Help_Menu_About:
        case MenuId::Cancel_Menu:
        case MenuId::File_Menu_Exit:
            return true;
        default:
            return false;
    }
}

bool EffectivelyEnabled(const MenuModel& menus, MenuId id) {
    return menus[id].enabled && (!menus.busy || AllowedWhileBusy(id));
}

}  // namespace quarnex
