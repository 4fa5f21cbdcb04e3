#include "gui/grid_table_model.hpp"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>

#include "commands/status_strip.hpp"
#include "gui/qt_text.hpp"
#include "gui/readable_colours.hpp"
#include "store/write_mark.hpp"

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
    // A description the store does not hold yet reads apart from the stored
    // ones, and says so.
    if (index.column() == 2 && grid_.DescriptionUnsaved(index.row() + 1)) {
        if (role == Qt::FontRole) {
            QFont font;
            font.setItalic(true);
            return font;
        }
        if (role == Qt::ToolTipRole) {
            return QStringLiteral(
                "Not saved: the store's DISKS.TXT does not hold this "
                "description yet. It is saved with the next change.");
        }
    }
    if (highlighted_ && highlighted_(index.row() + 1)) {
        if (role == Qt::BackgroundRole) {
            return QGuiApplication::palette().highlight();
        }
        if (role == Qt::ForegroundRole) {
            return QGuiApplication::palette().highlightedText();
        }
    }
    // A slot a write left part way is shown in the colour of an unreliable
    // image, and says why.
    if (grid_.SlotUnfinished(index.row() + 1)) {
        const QColor colour(kBufferLabelRed, kBufferLabelGreen, kBufferLabelBlue);
        if (role == Qt::BackgroundRole) {
            return colour;
        }
        if (role == Qt::ForegroundRole) {
            return TextOn(colour, QGuiApplication::palette().color(QPalette::Text));
        }
        if (role == Qt::ToolTipRole) {
            return ToQt(UnfinishedSlotText(index.row() + 1));
        }
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

void GridTableModel::SlotMarksChanged() {
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                     {Qt::BackgroundRole, Qt::ForegroundRole, Qt::ToolTipRole, Qt::FontRole});
}

void GridTableModel::RowLookChanged(int row) {
    emit dataChanged(index(row - 1, 0), index(row - 1, columnCount() - 1),
                     {Qt::BackgroundRole, Qt::ToolTipRole});
}

void GridTableModel::RowHeightChanged(int row) {
    emit rowHeightChanged(row);
}

}  // namespace quarnex
