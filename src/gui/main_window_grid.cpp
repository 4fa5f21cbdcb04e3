// The main window's grid side: presses, clicks and double-clicks on the grid,
// the edit box, and the separate scroll bar.

#include <QScrollBar>

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
    }
}

void MainWindow::OnGridDoubleClicked(int row) {
    if (!GridInUse()) {
        return;
    }
    const GridEventResult result = GridDoubleClick(ctx_, row, CurrentGridView(), placement_);
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
