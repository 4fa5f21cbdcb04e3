#include "commands/main_layout.hpp"

namespace quarnex {

namespace {
constexpr int kColumnCount = 3;
constexpr int kScrollRightMargin = 375;  // the bar and the 120 twips right of it
constexpr int kFrameRightRoom = 420;
constexpr int kActionGap = 240;

void PlaceEditColumn(MainLayout& layout) {
    layout.editLeft = kGridLeft + Column2Left(layout) + 30;
    layout.editWidth = layout.column2Width - kGridLine;
}
}  // namespace

MainLayout BuildMainLayout(int baseRowHeight, const std::array<int, 3>& columnWidths) {
    MainLayout layout;
    layout.baseRowHeight = baseRowHeight;
    layout.ColumnWidths = columnWidths;
    layout.column2Width = columnWidths[2];
    layout.gridWidth = columnWidths[0] + columnWidths[1] + columnWidths[2] + 60;
    // The header and 20 slot rows with the lines between them.
    layout.gridHeight = 21 * baseRowHeight + 330;
    layout.frameHeight = kGridTop + layout.gridHeight + kGridLeft;
    layout.frameWidth = layout.gridWidth + 2 * kGridLeft + kFrameRightRoom;
    layout.scrollLeft = layout.frameWidth - kScrollRightMargin;
    layout.scrollHeight = layout.gridHeight;
    layout.clientHeight = kFrameTop + layout.frameHeight + kFrameLeft;
    layout.clientWidth = 2 * kFrameLeft + layout.frameWidth;
    layout.progressBarLeft = kFrameLeft + layout.frameWidth - kProgressBarWidth;
    layout.actionLabelLeft = layout.progressBarLeft - kActionGap;
    PlaceEditColumn(layout);
    return layout;
}

void ResizeMainLayout(MainLayout& layout, int clientWidth, int clientHeight, int actionLabelWidth) {
    layout.clientWidth = clientWidth;
    layout.clientHeight = clientHeight;
    layout.frameWidth = clientWidth - 2 * kFrameLeft;
    layout.frameHeight = clientHeight - kFrameTop - kFrameLeft;
    layout.gridWidth = layout.frameWidth - kGridLeft - kFrameRightRoom;
    layout.gridHeight = layout.frameHeight - kGridTop - kGridLeft;
    layout.scrollLeft = layout.frameWidth - kScrollRightMargin;
    layout.scrollHeight = layout.gridHeight;
    // Only the description column takes what the window gains or loses.
    layout.column2Width = layout.gridWidth - layout.ColumnWidths[0] - layout.ColumnWidths[1] -
                          (kColumnCount + 1) * kGridLine;
    PlaceEditColumn(layout);
    layout.progressBarLeft = kFrameLeft + layout.frameWidth - kProgressBarWidth;
    layout.actionLabelLeft = ActionLabelLeft(layout, actionLabelWidth);
}

int ActionLabelLeft(const MainLayout& layout, int actionLabelWidth) {
    return layout.progressBarLeft - actionLabelWidth - kActionGap;
}

int Column2Left(const MainLayout& layout) {
    return layout.ColumnWidths[0] + layout.ColumnWidths[1] + 2 * kGridLine;
}

}  // namespace quarnex
