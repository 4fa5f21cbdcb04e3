#include "commands/grid_model.hpp"

#include <cmath>

#include "core/text.hpp"

namespace quarnex {

namespace {

constexpr int kIdColumn = 1;
constexpr int kDescriptionColumn = 2;

// The Disk ID cell: the ID between spaces; a mark takes the place of the
// trailing space.
std::string IdCell(const SlotRecord& record, RowMark mark) {
    const std::string padded = " " + ShownId(record) + " ";
    switch (mark) {
        case RowMark::None:
            return padded;
        case RowMark::Unmarked:
            return LeftChars(padded, 12);
        case RowMark::Selection:
            return LeftChars(padded, 12) + " *";
        case RowMark::Edit:
            return LeftChars(padded, 12) + " >";
    }
    return padded;
}

}  // namespace

GridModel::GridModel(SlotTable& table, const TextMetrics& metrics)
    : table_(table),
      metrics_(metrics),
      baseRowHeight_(static_cast<int>(std::lround(metrics.TextHeightTwips(" ") + 30))),
      heights_(kGridRows, baseRowHeight_),
      marks_(kGridRows, RowMark::None) {
    table_.SetListener(this);
}

GridModel::~GridModel() {
    table_.SetListener(nullptr);
}

std::string GridModel::Cell(int row, int column) const {
    if (row == 0) {
        static constexpr std::string_view kHeaders[kGridColumns] = {"  #", " Disk ID",
                                                                    " Disk Description"};
        return std::string(kHeaders[column]);
    }
    switch (column) {
        case 0:
            return " " + ThreeDigits(row);
        case kIdColumn:
            return IdCell(table_.Slot(row), Mark(row));
        default:
            return table_.Slot(row).description;
    }
}

RowMark GridModel::Mark(int row) const {
    return marks_.at(static_cast<std::size_t>(row));
}

void GridModel::SetMark(int row, RowMark mark) {
    RowMark& current = marks_.at(static_cast<std::size_t>(row));
    if (current == mark) {
        return;
    }
    current = mark;
    Tell(row, kIdColumn);
}

void GridModel::Tell(int row, int column) {
    if (listener_ != nullptr) {
        listener_->CellChanged(row, column);
    }
}

void GridModel::SlotChanged(int slot, SlotChange change) {
    RowMark& mark = marks_.at(static_cast<std::size_t>(slot));
    switch (change) {
        case SlotChange::DiskIdRead:
        case SlotChange::DiskIdCleared:
            mark = RowMark::None;
            Tell(slot, kIdColumn);
            return;
        case SlotChange::DiskIdWritten:
            // A written slot keeps the selection or edit it has.
            if (mark == RowMark::Unmarked) {
                mark = RowMark::None;
            }
            Tell(slot, kIdColumn);
            return;
        case SlotChange::Description:
            Tell(slot, kDescriptionColumn);
            return;
        case SlotChange::WriteMark:
            if (listener_ != nullptr) {
                listener_->RowLookChanged(slot);
            }
            return;
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
        SetRowHeight(row, static_cast<int>(RoundHalfEven(DescriptionRowHeight(Description(row)))));
    }
}

void GridModel::Reset() {
    for (int row = 0; row < kGridRows; ++row) {
        SetRowHeight(row, baseRowHeight_);
        if (row > 0) {
            RowMark& mark = marks_.at(static_cast<std::size_t>(row));
            if (mark != RowMark::None) {
                mark = RowMark::None;
                Tell(row, kIdColumn);
            }
        }
    }
    table_.ClearSlots();
}

}  // namespace quarnex
