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

bool ValidRow(const ProgramState& state, int row) {
    return row >= 1 && row <= kLastRow &&
           state.window.edit.LastMouseY >= state.window.grid.BaseRowHeight();
}

void MarkRow(ProgramState& state, int row, std::string_view marker) {
    GridModel& grid = state.window.grid;
    grid.SetCell(row, 1, WithMarker(grid.Cell(row, 1), marker));
}

// The marker a row carries when it is not being edited.
std::string_view RestingMarker(const ProgramState& state, int row) {
    return row == state.SelectedDisk ? kSelectionMarker : std::string_view();
}

void HideBox(Context& ctx) {
    EditState& edit = ctx.state.window.edit;
    edit.boxVisible = false;
    edit.EditingActive = false;
    ctx.ui.Changed(WindowPart::EditBox);
}

}  // namespace

void GridMousePress(ProgramState& state, double y) {
    state.window.edit.LastMouseY = y;
}

GridEventResult GridClick(Context& ctx, int row) {
    ProgramState& state = ctx.state;
    EditState& edit = state.window.edit;
    GridEventResult result;
    if (row < 1 || row > kLastRow) {
        return result;
    }
    result.focusEditBox = edit.boxVisible;
    if (edit.LastMouseY < state.window.grid.BaseRowHeight()) {
        return result;
    }
    edit.SelectedRow = row;
    if (edit.PreviousSelectedRow != 0 && edit.PreviousSelectedRow != row) {
        const bool editing = edit.boxVisible && edit.PreviousSelectedRow == edit.EditRow;
        MarkRow(state, edit.PreviousSelectedRow, editing ? kEditMarker : std::string_view());
    }
    edit.PreviousSelectedRow = row;
    const bool editing = edit.boxVisible && row == edit.EditRow;
    MarkRow(state, row, editing ? kEditMarker : kSelectionMarker);
    state.SelectedDisk = row;
    ctx.ui.Changed(WindowPart::Grid);
    if (state.SelectedDevice != 0) {
        RefreshMainWindow(ctx, StateDiskSelected);
    }
    return result;
}

GridEventResult GridDoubleClick(Context& ctx, int row, const GridView& view,
                                EditBoxPlacement& placement) {
    ProgramState& state = ctx.state;
    EditState& edit = state.window.edit;
    GridModel& grid = state.window.grid;
    GridEventResult result;
    if (!ValidRow(state, row)) {
        return result;
    }
    result.focusEditBox = edit.boxVisible;
    edit.EditRow = row;
    if (edit.boxVisible && row == edit.ActiveEditRow) {
        MarkRow(state, row, RestingMarker(state, row));
        if (edit.boxText != grid.Cell(row, 2)) {
            grid.SetCell(row, 2, edit.boxText);
            state.DiskDescriptions[static_cast<std::size_t>(row)] = edit.boxText;
            result.saveDescriptions = state.SelectedDevice != 0;
        }
        grid.SetRowHeight(row, Rounded(grid.DescriptionRowHeight(edit.boxText)));
        HideBox(ctx);
        result.focusEditBox = false;
    } else {
        if (edit.ActiveEditRow >= 1) {
            MarkRow(state, edit.ActiveEditRow, RestingMarker(state, edit.ActiveEditRow));
        }
        MarkRow(state, row, kEditMarker);
        edit.boxText = grid.Cell(row, 2);
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

bool EditEscape(Context& ctx) {
    ProgramState& state = ctx.state;
    EditState& edit = state.window.edit;
    if (!edit.boxVisible) {
        return false;
    }
    HideBox(ctx);
    const bool selected = edit.SelectedRow == edit.EditRow;
    MarkRow(state, edit.EditRow, selected ? kSelectionMarker : std::string_view());
    ctx.ui.Changed(WindowPart::Grid);
    return true;
}

void EditTextChanged(Context& ctx, std::string text, const GridView& view,
                     EditBoxPlacement& placement) {
    EditState& edit = ctx.state.window.edit;
    edit.boxText = std::move(text);
    if (edit.EditChangeGuard) {
        return;
    }
    edit.EditChangeGuard = true;
    PlaceEditBox(ctx, view, placement);
    edit.EditChangeGuard = false;
}

void PlaceEditBox(Context& ctx, const GridView& view, EditBoxPlacement& placement) {
    ProgramState& state = ctx.state;
    EditState& edit = state.window.edit;
    if (!edit.EditingActive) {
        return;
    }
    const GridModel& grid = state.window.grid;
    const int header = Rounded(grid.DescriptionRowHeight(""));
    const int y = EditRowTop(state, view);
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

int EditRowTop(const ProgramState& state, const GridView& view) {
    const GridModel& grid = state.window.grid;
    const int editRow = state.window.edit.EditRow;
    const double pitch = grid.DescriptionRowHeight("") + kGridLine;
    const int fit = Rounded(view.gridHeight / pitch) - 1;
    if (editRow - view.topRow > fit || editRow < view.topRow) {
        return -1;
    }
    double acc = 0;
    for (int t = view.topRow; t < editRow; ++t) {
        acc += grid.DescriptionRowHeight(grid.Cell(t, 2)) + kGridLine;
    }
    return Rounded(view.gridTop + grid.BaseRowHeight() + 45 + acc);
}

int ScrollMaximum(const GridModel& grid, int gridHeight) {
    double sum = grid.DescriptionRowHeight("") + 30;
    int row = kLastRow;
    do {
        sum += grid.DescriptionRowHeight(grid.Cell(row, 2)) + kGridLine;
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
