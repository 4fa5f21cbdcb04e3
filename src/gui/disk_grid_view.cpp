#include "gui/disk_grid_view.hpp"

#include <QDropEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyle>
#include <QToolTip>
#include <QWheelEvent>
#include <optional>

#include "gui/cut_text.hpp"

namespace quarnex {

DiskGridView::DiskGridView(QWidget* parent) : QTableView(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // The program marks its selection with its own text marker.
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Reached with Tab; a click hands it the keyboard only when no edit box
    // takes it (the window decides), so clicks keep an open edit focused.
    setFocusPolicy(Qt::TabFocus);
    setTabKeyNavigation(false);
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
    // The table's own answers to header clicks (select the column and scroll
    // it into view, fit a column to its contents on a double-click) would
    // shift the columns away from the edit box for good: the header only
    // reports presses and clicks here.
    QHeaderView* header = horizontalHeader();
    disconnect(header, SIGNAL(sectionPressed(int)), this, SLOT(selectColumn(int)));
    disconnect(header, SIGNAL(sectionEntered(int)), this, SLOT(_q_selectColumn(int)));
    disconnect(header, SIGNAL(sectionHandleDoubleClicked(int)), this,
               SLOT(resizeColumnToContents(int)));
    setAutoScroll(false);
    // Image files dropped on a row go into the slots from that row on.
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    // A press on the header is a press above the first slot row.
    connect(header, &QHeaderView::sectionPressed, this, [this] { HeaderPressed(); });
    connect(header, &QHeaderView::sectionClicked, this, [this] { emit gridClicked(currentRow_); });
}

namespace {

// The dragged local files; empty when anything else is dragged.
QStringList LocalFiles(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) {
            return {};
        }
        files.append(url.toLocalFile());
    }
    return files;
}

}  // namespace

void DiskGridView::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void DiskGridView::dragMoveEvent(QDragMoveEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty() &&
        GridRowAt(event->position().toPoint().y()) != 0) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void DiskGridView::dropEvent(QDropEvent* event) {
    const QStringList files = LocalFiles(event->mimeData());
    const int row = GridRowAt(event->position().toPoint().y());
    if (files.isEmpty() || row == 0) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(row, files);
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

void DiskGridView::keyPressEvent(QKeyEvent* event) {
    const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    std::optional<GridKey> key;
    switch (event->key()) {
        case Qt::Key_Up:
            key = GridKey::Up;
            break;
        case Qt::Key_Down:
            key = GridKey::Down;
            break;
        case Qt::Key_PageUp:
            key = GridKey::PageUp;
            break;
        case Qt::Key_PageDown:
            key = GridKey::PageDown;
            break;
        case Qt::Key_Home:
            key = control ? GridKey::FirstSlot : GridKey::FirstInView;
            break;
        case Qt::Key_End:
            key = control ? GridKey::LastSlot : GridKey::LastInView;
            break;
        case Qt::Key_F2:
            event->accept();
            emit editKey();
            return;
        default:
            // Not the table's own moves: only the program's selection counts.
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
    emit gridKey(*key);
}

bool DiskGridView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QTableView::viewportEvent(event);
    }
    // A cell whose text is wider than its column shows it in full.
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex cell = indexAt(help->pos());
    const QString text = cell.data().toString();
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    if (cell.isValid() && NeedsMoreThan(*this, text, columnWidth(cell.column()) - margins)) {
        QToolTip::showText(help->globalPos(), text, viewport(), visualRect(cell));
    } else {
        QToolTip::hideText();
    }
    return true;  // not the frame's caption either
}

}  // namespace quarnex
