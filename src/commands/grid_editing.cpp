#include "commands/grid_editing.hpp"

#include <cmath>

#include "commands/main_layout.hpp"
#include "commands/refresh_main_window.hpp"

namespace quarnex {

namespace {

constexpr int kLastRow = 999;

int Rounded(double value) {
    return static_cast<int>(std::lround(value));
}

bool ValidRow(const WindowModel& window, int row) {
    return row >= 1 && row <= kLastRow && window.edit.LastMouseY >= window.grid.BaseRowHeight();
}

// The mark a row carries when it is not being edited.
RowMark RestingMark(const ProgramState& state, int row) {
    return row == state.selectedDisk ? RowMark::Selection : RowMark::Unmarked;
}

void HideBox(WindowContext& ctx) {
    EditState& edit = ctx.window.edit;
    edit.boxVisible = false;
    edit.EditingActive = false;
    ctx.ui.Changed(WindowPart::EditBox);
}

}  // namespace

void GridMousePress(WindowModel& window, double y) {
    window.edit.LastMouseY = y;
}

GridEventResult GridClick(WindowContext& ctx, int row) {
    ProgramState& state = ctx.state;
    EditState& edit = ctx.window.edit;
    GridEventResult result;
    if (row < 1 || row > kLastRow) {
        return result;
    }
    result.focusEditBox = edit.boxVisible;
    if (edit.LastMouseY < ctx.window.grid.BaseRowHeight()) {
        return result;
    }
    edit.SelectedRow = row;
    if (edit.PreviousSelectedRow != 0 && edit.PreviousSelectedRow != row) {
        const bool editing = edit.boxVisible && edit.PreviousSelectedRow == edit.EditRow;
        ctx.window.grid.SetMark(edit.PreviousSelectedRow,
                                editing ? RowMark::Edit : RowMark::Unmarked);
    }
    edit.PreviousSelectedRow = row;
    const bool editing = edit.boxVisible && row == edit.EditRow;
    ctx.window.grid.SetMark(row, editing ? RowMark::Edit : RowMark::Selection);
    state.selectedDisk = row;
    ctx.ui.Changed(WindowPart::Grid);
    if (state.selectedDevice != 0) {
        RefreshMainWindow(ctx, StateDiskSelected);
    }
    return result;
}

GridEventResult GridDoubleClick(WindowContext& ctx, int row, const GridView& view,
                                EditBoxPlacement& placement) {
    ProgramState& state = ctx.state;
    EditState& edit = ctx.window.edit;
    GridModel& grid = ctx.window.grid;
    GridEventResult result;
    if (!ValidRow(ctx.window, row)) {
        return result;
    }
    result.focusEditBox = edit.boxVisible;
    edit.EditRow = row;
    if (edit.boxVisible && row == edit.ActiveEditRow) {
        grid.SetMark(row, RestingMark(state, row));
        if (edit.boxText != grid.Description(row)) {
            state.slotTable.SetDescription(row, edit.boxText);
            result.saveDescriptions = state.selectedDevice != 0;
        }
        grid.SetRowHeight(row, Rounded(grid.DescriptionRowHeight(edit.boxText)));
        HideBox(ctx);
        result.focusEditBox = false;
    } else {
        if (edit.ActiveEditRow >= 1) {
            grid.SetMark(edit.ActiveEditRow, RestingMark(state, edit.ActiveEditRow));
        }
        grid.SetMark(row, RowMark::Edit);
        edit.boxText = grid.Description(row);
        edit.boxVisible = true;
        edit.EditingActive = true;
        PlaceEditBox(ctx, view, placement);
        result.focusEditBox = true;
    }
    edit.ActiveEditRow = row;
    ctx.ui.Changed(WindowPart::Grid);
    ctx.ui.Changed(WindowPart::EditBox);
    return result;
}

bool EditEscape(WindowContext& ctx) {
    EditState& edit = ctx.window.edit;
    if (!edit.boxVisible) {
        return false;
    }
    HideBox(ctx);
    const bool selected = edit.SelectedRow == edit.EditRow;
    ctx.window.grid.SetMark(edit.EditRow, selected ? RowMark::Selection : RowMark::Unmarked);
    ctx.ui.Changed(WindowPart::Grid);
    return true;
}

void EditTextChanged(WindowContext& ctx, std::string text, const GridView& view,
                     EditBoxPlacement& placement) {
    EditState& edit = ctx.window.edit;
    edit.boxText = std::move(text);
    if (edit.EditChangeGuard) {
        return;
    }
    edit.EditChangeGuard = true;
    PlaceEditBox(ctx, view, placement);
    edit.EditChangeGuard = false;
}

void PlaceEditBox(WindowContext& ctx, const GridView& view, EditBoxPlacement& placement) {
    EditState& edit = ctx.window.edit;
    if (!edit.EditingActive) {
        return;
    }
    const GridModel& grid = ctx.window.grid;
    const int header = Rounded(grid.DescriptionRowHeight(""));
    const int y = EditRowTop(ctx.window, view);
    const int need = Rounded(grid.DescriptionRowHeight(edit.boxText));
    const int bottom = view.gridTop + view.gridHeight;
    if (y < 0 || y + header / 2 > bottom) {
        edit.boxVisible = false;
    } else {
        placement.top = y;
        // Cut off at the grid's lower edge rather than overlap the frame.
        placement.height =
            bottom - (y + header / 2) <= need ? bottom - y - kGridLine : need - kGridLine;
        edit.boxVisible = true;
    }
    ctx.ui.Changed(WindowPart::EditBox);
}

int EditRowTop(const WindowModel& window, const GridView& view) {
    const GridModel& grid = window.grid;
    const int editRow = window.edit.EditRow;
    const double pitch = grid.DescriptionRowHeight("") + kGridLine;
    const int fit = Rounded(view.gridHeight / pitch) - 1;
    if (editRow - view.topRow > fit || editRow < view.topRow) {
        return -1;
    }
    double acc = 0;
    for (int t = view.topRow; t < editRow; ++t) {
        acc += grid.DescriptionRowHeight(grid.Description(t)) + kGridLine;
    }
    return Rounded(view.gridTop + grid.BaseRowHeight() + 45 + acc);
}

int ScrollMaximum(const GridModel& grid, int gridHeight) {
    double sum = grid.DescriptionRowHeight("") + 30;
    int row = kLastRow;
    do {
        sum += grid.DescriptionRowHeight(grid.Description(row)) + kGridLine;
        --row;
    } while (sum <= gridHeight && row >= 1);
    if (sum <= gridHeight) {
        return 1;  // every slot fits under the header
    }
    return row + 2;
}

int TopRowFor(int scrollValue, int scrollMaximum) {
    return scrollMaximum >= scrollValue ? scrollValue : scrollMaximum;
}

}  // namespace quarnex
