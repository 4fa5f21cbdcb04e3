#pragma once
// The disk grid of the main window: its cell texts, made from the slot
// records and the window's selection and edit marks, and every row's height in
// twips, measured with the grid font.

#include <string>
#include <string_view>
#include <vector>

#include "commands/text_metrics.hpp"
#include "store/descriptions_merge.hpp"
#include "store/slot_table.hpp"

namespace quarnex {

inline constexpr int kGridRows = 1000;  // header row 0 and slots 1..999
inline constexpr int kGridColumns = 3;  // slot number, Disk ID, description

// What the Disk ID cell of a row shows after the ID.
enum class RowMark {
    None,       // " ID ": the ID as last read or cleared
    Unmarked,   // " ID": a mark was taken away, and the space with it
    Selection,  // " ID *"
    Edit,       // " ID >": its description is being edited
};

// Receives every change, so a view can repaint just what changed.
class GridListener {
  public:
    virtual ~GridListener() = default;
    virtual void CellChanged(int row, int column) = 0;
    virtual void RowHeightChanged(int row) = 0;
    // The row's colour and tooltip (an unfinished write) changed.
    virtual void RowLookChanged(int row) = 0;
};

class GridModel final : private SlotTableListener {
  public:
    GridModel(SlotTable& table, const TextMetrics& metrics);
    ~GridModel() override;
    GridModel(const GridModel&) = delete;
    GridModel& operator=(const GridModel&) = delete;

    // The text of a cell: row 0 is the header, rows 1..999 the slots.
    std::string Cell(int row, int column) const;
    const std::string& Description(int row) const { return table_.Slot(row).description; }
    // The slot's boot sector still carries the mark of a slot write.
    bool SlotUnfinished(int row) const { return table_.Slot(row).writeUnfinished; }
    // The slot's description or source differs from what the store's file
    // holds: a save failed or was refused, and a later one stores it.
    bool DescriptionUnsaved(int row) const { return SlotUnsaved(table_, row); }

    RowMark Mark(int row) const;
    void SetMark(int row, RowMark mark);

    int RowHeight(int row) const;
    void SetRowHeight(int row, int twips);

    // Height of a one-line row: the grid font's height of " " plus 30.
    int BaseRowHeight() const { return baseRowHeight_; }
    // The row height a description needs: BaseRowHeight for one line, else
    // its text height plus 45.
    double DescriptionRowHeight(std::string_view text) const;
    // Every slot row as high as its description needs; run after the
    // descriptions were loaded afresh.
    void FitRowHeights();

    // No store: every row BaseRowHeight high and unmarked, IDs dashed,
    // descriptions empty.
    void Reset();

    const TextMetrics& Metrics() const { return metrics_; }
    void SetListener(GridListener* listener) { listener_ = listener; }

  private:
    void SlotChanged(int slot, SlotChange change) override;
    void Tell(int row, int column);

    SlotTable& table_;
    const TextMetrics& metrics_;
    int baseRowHeight_;
    std::vector<int> heights_;
    std::vector<RowMark> marks_;
    GridListener* listener_ = nullptr;
};

}  // namespace quarnex
