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
    bool boxVisible = false;  // QrnEdit shown
    std::string boxText;      // QrnEdit contents, lines joined by CR LF
};

// Text boxes of the ID dialogs; they keep their contents between uses.
struct DialogTexts {
    std::string usbIdText;      // USBIDF.USBIDTxtBox, refilled by every Disk ID load
    std::string usbBaseIdText;  // USBIDF.FlpyIDTxtBox
    bool usbAppendId = true;    // USBIDF.AppendIDChkBox
    std::string floppyIdText;   // FlpyIDF.FlpyIDTxtBox
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
