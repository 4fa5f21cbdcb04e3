#include "commands/grid_model.hpp"

#include <cmath>

#include "core/text.hpp"

namespace quarnex {

GridModel::GridModel(SlotTable& table, const TextMetrics& metrics)
    : table_(table),
      metrics_(metrics),
      baseRowHeight_(static_cast<int>(std::lround(metrics.TextHeightTwips(" ") + 30))),
      heights_(kGridRows, baseRowHeight_) {
    table_.SetListener(this);
}

GridModel::~GridModel() {
    table_.SetListener(nullptr);
}

void GridModel::CellChanged(int row, int column) {
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

void GridModel::FitRowHeights() {
    for (int row = 1; row < kGridRows; ++row) {
        SetRowHeight(row, static_cast<int>(RoundHalfEven(DescriptionRowHeight(Cell(row, 2)))));
    }
}

void GridModel::Reset(bool rewriteNumbers) {
    for (int row = 0; row < kGridRows; ++row) {
        SetRowHeight(row, baseRowHeight_);
    }
    table_.Reset(rewriteNumbers);
}

}  // namespace quarnex
