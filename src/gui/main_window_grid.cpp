// The main window's grid side: presses, clicks and double-clicks on the grid,
// the edit box, and the separate scroll bar.

#include <QScrollBar>
#include <algorithm>

#include "commands/drop_images.hpp"
#include "commands/grid_keys.hpp"
#include "commands/main_commands.hpp"
#include "gui/main_window.hpp"
#include "gui/qt_text.hpp"

namespace quarnex {

GridView MainWindow::CurrentGridView() const {
    return GridView{kGridTop, layout_.gridHeight, topRow_};
}

bool MainWindow::GridUsable() const {
    // Without the rights for raw devices only a store image file can be
    // selected; the grid serves it as it would serve a stick.
    return ctx_.state.adminRights != 0 || ctx_.state.selectedDevice != 0;
}

void MainWindow::ApplyGridUsable() {
    const bool usable = GridUsable();
    gridScroll_->setEnabled(usable);
    edit_->setEnabled(usable);
}

bool MainWindow::GridInUse() const {
    // While an operation runs a click must not change the state it works on.
    return GridUsable() && !ctx_.window.menus.busy && commandDepth_ == 0;
}

void MainWindow::OnGridPressed(int y) {
    if (GridInUse()) {
        GridMousePress(ctx_.window, scale_.Twips(y));
    }
}

void MainWindow::OnGridClicked(int row) {
    if (!GridInUse()) {
        return;
    }
    if (GridClick(ctx_, row).focusEditBox) {
        FocusEditBox();
    } else if (!edit_->isVisible()) {
        grid_->setFocus();  // the keys go on from the clicked row
    }
}

void MainWindow::SelectFoundSlot(int slot) {
    // As the keys select a row: the click's own path, the row brought into view.
    if (!GridInUse() || slot < 1 || slot >= kGridRows) {
        return;
    }
    ShowRow(slot);
    KeySelectRow(ctx_, slot);
    grid_->setFocus();
}

void MainWindow::OnGridDoubleClicked(int row) {
    if (!GridInUse()) {
        return;
    }
    ApplyGridResult(GridDoubleClick(ctx_, row, CurrentGridView(), placement_));
}

void MainWindow::OnGridFilesDropped(int row, const QStringList& files) {
    if (!GridInUse()) {
        return;
    }
    std::vector<std::string> paths;
    for (const QString& file : files) {
        paths.push_back(FromQt(file));
    }
    ++commandDepth_;
    PutDroppedImages(ctx_, row, paths);
    --commandDepth_;
    FinishCommand();
}

void MainWindow::ApplyGridResult(const GridEventResult& result) {
    if (result.focusEditBox) {
        FocusEditBox();
    }
    if (result.saveDescriptions) {
        ++commandDepth_;
        SaveStoreDescriptions(ctx_);
        --commandDepth_;
        FinishCommand();
    }
}

int MainWindow::RowsInViewFrom(int top) const {
    // A row counts when no more than its bottom line is cut off, as slot 999
    // is at the end of the scroll range.
    const int room = grid_->viewport()->height() + 1;
    int used = 0;
    int rows = 0;
    for (int row = top; row < kGridRows && used + grid_->rowHeight(row - 1) <= room; ++row) {
        used += grid_->rowHeight(row - 1);
        ++rows;
    }
    return std::max(rows, 1);
}

void MainWindow::ShowRow(int row) {
    const int top = TopRowShowing(row, topRow_, [this](int from) { return RowsInViewFrom(from); });
    if (top != topRow_) {
        gridScroll_->setValue(top);
    }
}

void MainWindow::OnGridKey(GridKey key) {
    if (!GridInUse()) {
        return;
    }
    const int row = KeyTargetRow(key, ctx_.state.selectedDisk, topRow_, RowsInViewFrom(topRow_));
    ShowRow(row);
    // The grid keeps the focus, even with an edit open, so the keys go on
    // selecting.
    KeySelectRow(ctx_, row);
}

void MainWindow::OnGridEditKey() {
    if (!GridInUse() || ctx_.state.selectedDisk == 0) {
        return;
    }
    ShowRow(ctx_.state.selectedDisk);
    ApplyGridResult(KeyOpenEdit(ctx_, CurrentGridView(), placement_));
}

void MainWindow::OnEditKeep() {
    if (!GridInUse()) {
        return;
    }
    ApplyGridResult(KeyKeepEdit(ctx_, CurrentGridView(), placement_));
    FocusGridAfterEdit();
}

void MainWindow::FocusGridAfterEdit() {
    if (!edit_->isVisible()) {
        grid_->setFocus();
    }
}

void MainWindow::FocusEditBox() {
    if (edit_->isVisible()) {
        edit_->setFocus();
    }
}

void MainWindow::OnEditTextChanged() {
    EditTextChanged(ctx_, FromQt(edit_->toPlainText()), CurrentGridView(), placement_);
}

void MainWindow::OnEditEscape() {
    EditEscape(ctx_);
    FocusGridAfterEdit();
}

void MainWindow::OnScrollChanged() {
    if (scrollInProgress_) {
        return;
    }
    scrollInProgress_ = true;
    const int value = gridScroll_->value();
    const int maximum = ScrollMaximum(ctx_.window.grid, layout_.gridHeight);
    {
        // The new maximum may pull the value down; that is this same change.
        const QSignalBlocker quiet(gridScroll_);
        gridScroll_->setMaximum(maximum);
    }
    topRow_ = TopRowFor(value, gridScroll_->maximum());
    grid_->verticalScrollBar()->setValue(topRow_ - 1);
    PlaceEditBox(ctx_, CurrentGridView(), placement_);
    scrollInProgress_ = false;
}

}  // namespace quarnex
