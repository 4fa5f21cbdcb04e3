#pragma once
// Everything the main window shows, as plain data: the status strip, the
// menus, the frame caption, the grid, the edit box state and the text boxes of
// the two ID dialogs. Plain code computes it; the GUI only renders it.

#include <string>

#include "commands/grid_model.hpp"
#include "commands/menu_model.hpp"

namespace quarnex {

// Selection and in-place editing of the grid.
struct EditState {
    double LastMouseY = 0;
    int SelectedRow = 0;
    int PreviousSelectedRow = 0;
    int EditRow = 0;
    int ActiveEditRow = 0;
    bool EditingActive = false;
    bool EditChangeGuard = false;
    bool boxVisible = false;  // the description editor is shown
    std::string boxText;      // the editor's text, lines joined by CR LF
};

// Text boxes of the ID dialogs; they keep their contents between uses.
struct DialogTexts {
    std::string usbIdText;      // store ID box of the format dialog, refilled by every Disk ID load
    std::string usbBaseIdText;  // base ID box of the format dialog
    bool usbAppendId = true;    // the format dialog's "number the slots" check box
    std::string floppyIdText;   // ID box of the floppy format dialog
};

struct WindowModel {
    WindowModel(SlotTable& table, const TextMetrics& metrics) : grid(table, metrics) {}

    MenuModel menus;
    std::string frameCaption = " Disk Selector ";
    GridModel grid;
    EditState edit;
    DialogTexts dialogs;
};

}  // namespace quarnex
