#pragma once
// The main window driven from the keyboard: which slot a key selects, how far
// the grid scrolls to show it, and the keys that open and keep an edit. Each
// key runs the same click and double-click a mouse user gives, so the
// selection, the markers, the menus and the saving behave the same.

#include <functional>

#include "commands/grid_editing.hpp"
#include "commands/menu_model.hpp"

namespace quarnex {

enum class GridKey {
    Up,
    Down,
    PageUp,
    PageDown,
    FirstInView,  // Home
    LastInView,   // End
    FirstSlot,    // Ctrl+Home
    LastSlot,     // Ctrl+End
};

// The slot a key selects, given the top row and how many rows are in view
// from it; with none selected every key starts from the top row.
int KeyTargetRow(GridKey key, int selectedDisk, int topRow, int rowsInView);
// The top row that shows row, moving the grid as little as possible;
// rowsInViewFrom(top) counts the rows in view from a top row.
int TopRowShowing(int row, int topRow, const std::function<int(int top)>& rowsInViewFrom);

// Selects row as a click on it does.
GridEventResult KeySelectRow(WindowContext& ctx, int row);
// F2: opens the selected slot's description as a double-click on its row does.
GridEventResult KeyOpenEdit(WindowContext& ctx, const GridView& view, EditBoxPlacement& placement);
// Ctrl+Enter in the edit box: keeps the edit as a double-click on its row does.
GridEventResult KeyKeepEdit(WindowContext& ctx, const GridView& view, EditBoxPlacement& placement);

// The row the grid shows as selected: the one that carries the selection marker.
bool RowHighlighted(const WindowContext& ctx, int row);

// F5: the command that reads the open store again (choosing it again), or
// that scans for stores when none is open.
MenuId RefreshKeyCommand(const ProgramState& state);

}  // namespace quarnex
