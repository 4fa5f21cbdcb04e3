#pragma once
// The Qt view's side of the plain grid: rows 1..999 as table rows 0..998, the
// header row as the horizontal header, every change passed on as it happens.

#include <QAbstractTableModel>
#include <functional>

#include "commands/grid_model.hpp"

namespace quarnex {

class GridTableModel final : public QAbstractTableModel, public GridListener {
    Q_OBJECT
  public:
    explicit GridTableModel(GridModel& grid, QObject* parent = nullptr);
    ~GridTableModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void CellChanged(int row, int column) override;
    void RowHeightChanged(int row) override;
    void RowLookChanged(int row) override;
    // After a load: which slots are marked as not completely written may
    // have changed without any cell text changing.
    void SlotMarksChanged();
    // Which row to draw in the palette's selection colours.
    void SetHighlighted(std::function<bool(int row)> highlighted) {
        highlighted_ = std::move(highlighted);
    }

  signals:
    void rowHeightChanged(int row);

  private:
    GridModel& grid_;
    std::function<bool(int row)> highlighted_;
};

}  // namespace quarnex
