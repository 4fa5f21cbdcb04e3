#include "gui/grid_table_model.hpp"

#include "gui/qt_text.hpp"

namespace quarnex {

GridTableModel::GridTableModel(GridModel& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {
    grid_.SetListener(this);
}

GridTableModel::~GridTableModel() {
    grid_.SetListener(nullptr);
}

int GridTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kGridRows - 1;
}

int GridTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kGridColumns;
}

QVariant GridTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return ToQt(grid_.Cell(index.row() + 1, index.column()));
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignTop);
    }
    return {};
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kGridColumns) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return ToQt(grid_.Cell(0, section));
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

void GridTableModel::CellChanged(int row, int column) {
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, column, column);
        return;
    }
    const QModelIndex cell = index(row - 1, column);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void GridTableModel::RowHeightChanged(int row) {
    emit rowHeightChanged(row);
}

}  // namespace quarnex
