#include "gui/disk_grid_view.hpp"

#include <QHeaderView>
#include <QMouseEvent>
#include <QWheelEvent>

namespace quarnex {

DiskGridView::DiskGridView(QWidget* parent) : QTableView(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // The program marks its selection with its own text marker.
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setMinimumSectionSize(1);
    // A press on the header is a press above the first slot row.
    connect(horizontalHeader(), &QHeaderView::sectionPressed, this, [this] { HeaderPressed(); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this] { emit gridClicked(currentRow_); });
}

int DiskGridView::GridRowAt(int viewportY) const {
    const int row = rowAt(viewportY);
    return row < 0 ? 0 : row + 1;
}

int DiskGridView::YInGrid(int viewportY) const {
    return viewport()->mapTo(this, QPoint(0, viewportY)).y();
}

void DiskGridView::HeaderPressed() {
    emit gridPressed(horizontalHeader()->mapTo(this, QPoint(0, 0)).y());
}

void DiskGridView::mousePressEvent(QMouseEvent* event) {
    const int y = static_cast<int>(event->position().y());
    const int row = GridRowAt(y);
    if (row != 0) {
        currentRow_ = row;
    }
    afterDoubleClick_ = false;
    emit gridPressed(YInGrid(y));
}

void DiskGridView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (afterDoubleClick_) {
        afterDoubleClick_ = false;
        return;
    }
    emit gridClicked(currentRow_);
}

void DiskGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    const int y = static_cast<int>(event->position().y());
    const int row = GridRowAt(y);
    if (row != 0) {
        currentRow_ = row;
    }
    afterDoubleClick_ = true;
    emit gridPressed(YInGrid(y));
    emit gridDoubleClicked(currentRow_);
}

void DiskGridView::mouseMoveEvent(QMouseEvent* event) {
    event->accept();  // no drag selection
}

void DiskGridView::wheelEvent(QWheelEvent* event) {
    const int steps = -event->angleDelta().y() / 40;  // three rows a notch
    if (steps != 0) {
        emit wheelSteps(steps);
    }
    event->accept();
}

}  // namespace quarnex
