#pragma once
// The disk grid on screen: a table view whose mouse events become the grid's own
// press, click and double-click (a double-click arrives after the click of its
// first press, as the selection rules expect). It has no scroll bars of its
// own; the wheel moves the grid's scroll bar instead. It takes the keyboard
// focus: the keys that select a slot and F2 are reported, Tab moves on.
// Local files dropped on a row are reported with the row.

#include <QTableView>

#include "commands/grid_keys.hpp"

namespace quarnex {

class DiskGridView : public QTableView {
    Q_OBJECT
  public:
    explicit DiskGridView(QWidget* parent = nullptr);

    // Grid row (1..999) under a point of the viewport; 0 for none.
    int GridRowAt(int viewportY) const;

  signals:
    // y in pixels from the grid's top edge, header included.
    void gridPressed(int y);
    void gridClicked(int row);
    void gridDoubleClicked(int row);
    void wheelSteps(int steps);
    void gridKey(quarnex::GridKey key);
    void editKey();  // F2
    // Local files dropped on row (1..999), in the order the drag gave them.
    void filesDropped(int row, const QStringList& files);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    int YInGrid(int viewportY) const;
    void HeaderPressed();

    int currentRow_ = 0;
    bool afterDoubleClick_ = false;
};

}  // namespace quarnex
