#include "commands/grid_keys.hpp"

#include <algorithm>

namespace quarnex {

namespace {

constexpr int kLastRow = 999;

// A key acts as a press on a slot row, below the header.
void PressBelowHeader(WindowModel& window) {
    GridMousePress(window, window.grid.BaseRowHeight());
}

}  // namespace

int KeyTargetRow(GridKey key, int selectedDisk, int topRow, int rowsInView) {
    const int from = selectedDisk == 0 ? topRow : selectedDisk;
    const int page = std::max(rowsInView - 1, 1);
    int row = from;
    switch (key) {
        case GridKey::Up:
            row = selectedDisk == 0 ? from : from - 1;
            break;
        case GridKey::Down:
            row = selectedDisk == 0 ? from : from + 1;
            break;
        case GridKey::PageUp:
            row = from - page;
            break;
        case GridKey::PageDown:
            row = from + page;
            break;
        case GridKey::FirstInView:
            row = topRow;
            break;
        case GridKey::LastInView:
            row = topRow + std::max(rowsInView, 1) - 1;
            break;
        case GridKey::FirstSlot:
            row = 1;
            break;
        case GridKey::LastSlot:
            row = kLastRow;
            break;
    }
    return std::clamp(row, 1, kLastRow);
}

int TopRowShowing(int row, int topRow, const std::function<int(int top)>& rowsInViewFrom) {
    if (row < topRow) {
        return row;
    }
    int top = topRow;
    while (top < row && top + rowsInViewFrom(top) <= row) {
        ++top;
    }
    return top;
}

GridEventResult KeySelectRow(WindowContext& ctx, int row) {
    PressBelowHeader(ctx.window);
    return GridClick(ctx, row);
}

GridEventResult KeyOpenEdit(WindowContext& ctx, const GridView& view, EditBoxPlacement& placement) {
    const int row = ctx.state.selectedDisk;
    if (row == 0) {
        return {};
    }
    KeySelectRow(ctx, row);
    return GridDoubleClick(ctx, row, view, placement);
}

GridEventResult KeyKeepEdit(WindowContext& ctx, const GridView& view, EditBoxPlacement& placement) {
    const EditState& edit = ctx.window.edit;
    if (!edit.boxVisible) {
        return {};
    }
    const int row = edit.ActiveEditRow;
    KeySelectRow(ctx, row);
    return GridDoubleClick(ctx, row, view, placement);
}

bool RowHighlighted(const WindowContext& ctx, int row) {
    const RowMark mark = ctx.window.grid.Mark(row);
    return row == ctx.state.selectedDisk && (mark == RowMark::Selection || mark == RowMark::Edit);
}

MenuId RefreshKeyCommand(const ProgramState& state) {
    if (state.selectedDevice != 0) {
        return MenuModel::SelectEntry(state.selectedDevice);
    }
    return MenuId::File_Menu_Scan;
}

}  // namespace quarnex
