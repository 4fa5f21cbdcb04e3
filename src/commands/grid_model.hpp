#pragma once
// The disk grid of the main window: a view of the slot table that adds every
// row's height in twips, measured with the grid font.

#include <string>
#include <string_view>
#include <vector>

#include "commands/text_metrics.hpp"
#include "store/slot_table.hpp"

namespace quarnex {

// Receives every change, so a view can repaint just what changed.
class GridListener {
  public:
    virtual ~GridListener() = default;
    virtual void CellChanged(int row, int column) = 0;
    virtual void RowHeightChanged(int row) = 0;
};

class GridModel final : private SlotTableListener {
  public:
    GridModel(SlotTable& table, const TextMetrics& metrics);
    ~GridModel() override;
    GridModel(const GridModel&) = delete;
    GridModel& operator=(const GridModel&) = delete;

    const std::string& Cell(int row, int column) const { return table_.Cell(row, column); }
    void SetCell(int row, int column, std::string text) {
        table_.SetCell(row, column, std::move(text));
    }
    // The slot's boot sector still carries the mark of a slot write.
    bool SlotUnfinished(int row) const {
        return table_.slotUnfinished.at(static_cast<std::size_t>(row));
    }
    int RowHeight(int row) const;
    void SetRowHeight(int row, int twips);

    // Height of a one-line row: the grid font's height of " " plus 30.
    int BaseRowHeight() const { return baseRowHeight_; }
    // The row height a description needs: BaseRowHeight for one line, else
    // its text height plus 45.
    double DescriptionRowHeight(std::string_view text) const;
    // Every slot row as high as its description needs; run after the slot
    // table's descriptions were loaded afresh.
    void FitRowHeights();

    // Rows back to their reset contents: every row BaseRowHeight high, IDs
    // dashed, descriptions empty; slot numbers rewritten only when asked.
    void Reset(bool rewriteNumbers);
    // Writes the header row.
    void WriteHeaders() { table_.WriteHeaders(); }

    const TextMetrics& Metrics() const { return metrics_; }
    void SetListener(GridListener* listener) { listener_ = listener; }

  private:
    void CellChanged(int row, int column) override;

    SlotTable& table_;
    const TextMetrics& metrics_;
    int baseRowHeight_;
    std::vector<int> heights_;
    GridListener* listener_ = nullptr;
};

}  // namespace quarnex
