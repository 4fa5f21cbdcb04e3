#include "commands/grid_model.hpp"

#include <cmath>

#include "core/text.hpp"

namespace quarnex {

GridModel::GridModel(const TextMetrics& metrics)
    : metrics_(metrics),
      baseRowHeight_(static_cast<int>(std::lround(metrics.TextHeightTwips(" ") + 30))),
      cells_(kGridRows),
      heights_(kGridRows, baseRowHeight_) {
    WriteHeaders();
    Reset(true);
}

const std::string& GridModel::Cell(int row, int column) const {
    return cells_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
}

void GridModel::SetCell(int row, int column, std::string text) {
    std::string& cell =
        cells_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
    if (cell == text) {
        return;
    }
    cell = std::move(text);
    if (listener_ != nullptr) {
        listener_->CellChanged(row, column);
    }
}

int GridModel::RowHeight(int row) const {
    return heights_.at(static_cast<std::size_t>(row));
}

void GridModel::SetRowHeight(int row, int twips) {
    int& height = heights_.at(static_cast<std::size_t>(row));
    if (height == twips) {
        return;
    }
    height = twips;
    if (listener_ != nullptr) {
        listener_->RowHeightChanged(row);
    }
}

double GridModel::DescriptionRowHeight(std::string_view text) const {
    const double h = metrics_.TextHeightTwips(text);
    if (baseRowHeight_ >= h) {
        return baseRowHeight_;
    }
    return h + 45;
}

void GridModel::Reset(bool rewriteNumbers) {
    for (int row = 0; row < kGridRows; ++row) {
        SetRowHeight(row, baseRowHeight_);
    }
    for (int row = 1; row < kGridRows; ++row) {
        if (rewriteNumbers) {
            SetCell(row, 0, " " + ThreeDigits(row));
        }
        SetCell(row, 1, std::string(kNoDiskIdCell));
        SetCell(row, 2, "");
    }
}

void GridModel::WriteHeaders() {
    SetCell(0, 0, "  #");
    SetCell(0, 1, " Disk ID");
    SetCell(0, 2, " Disk Description");
}

std::string WithMarker(std::string_view cell, std::string_view marker) {
    return LeftChars(cell, 12) + std::string(marker);
}

}  // namespace quarnex
