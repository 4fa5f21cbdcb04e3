#include "store/slot_table.hpp"

#include "core/text.hpp"

namespace quarnex {

SlotTable::SlotTable() : cells_(kGridRows) {
    WriteHeaders();
    Reset(true);
}

const std::string& SlotTable::Cell(int row, int column) const {
    return cells_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
}

void SlotTable::SetCell(int row, int column, std::string text) {
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

void SlotTable::Reset(bool rewriteNumbers) {
    for (int row = 1; row < kGridRows; ++row) {
        if (rewriteNumbers) {
            SetCell(row, 0, " " + ThreeDigits(row));
        }
        SetCell(row, 1, std::string(kNoDiskIdCell));
        SetCell(row, 2, "");
    }
    slotUnfinished.fill(false);
}

void SlotTable::WriteHeaders() {
    SetCell(0, 0, "  #");
    SetCell(0, 1, " Disk ID");
    SetCell(0, 2, " Disk Description");
}

std::string WithMarker(std::string_view cell, std::string_view marker) {
    return LeftChars(cell, 12) + std::string(marker);
}

}  // namespace quarnex
