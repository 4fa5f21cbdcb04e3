#pragma once
// Selecting a slot by clicking its row and editing its description in place:
// the marks in the Disk ID cells, opening, committing and cancelling an edit,
// and where the edit box goes. The GUI passes the grid's geometry in twips and
// renders the result.

#include <string>

#include "commands/window_context.hpp"

namespace quarnex {

// What the editor needs to know of the grid on screen, in twips.
struct GridView {
    int gridTop = 0;     // inside the frame
    int gridHeight = 0;  // header included
    int topRow = 1;      // first slot row under the header
};

// Where the edit box stands inside the frame while it is shown.
struct EditBoxPlacement {
    int top = 0;
    int height = 0;
};

struct GridEventResult {
    bool focusEditBox = false;
    // A changed description was committed while a store is selected: its
    // descriptions file must be written now.
    bool saveDescriptions = false;
};

// Mouse press on the grid: remembers how far down it was.
void GridMousePress(WindowModel& window, double y);
// Click on a row: selection.
GridEventResult GridClick(WindowContext& ctx, int row);
// Double-click on a row: opens an edit, or commits it on the row being edited.
GridEventResult GridDoubleClick(WindowContext& ctx, int row, const GridView& view,
                                EditBoxPlacement& placement);
// Escape in the edit box; true when it was taken (the box was open).
bool EditEscape(WindowContext& ctx);
// The edit box's text changed: keep it and re-fit the box.
void EditTextChanged(WindowContext& ctx, std::string text, const GridView& view,
                     EditBoxPlacement& placement);

// Shows, moves or hides the edit box for the current grid geometry.
void PlaceEditBox(WindowContext& ctx, const GridView& view, EditBoxPlacement& placement);
// Top of the edit row inside the frame, or -1 when it is out of view.
int EditRowTop(const WindowModel& window, const GridView& view);

// The smallest top row that still shows slot 999 completely.
int ScrollMaximum(const GridModel& grid, int gridHeight);
// The top row for a scroll bar value within that maximum.
int TopRowFor(int scrollValue, int scrollMaximum);

}  // namespace quarnex
