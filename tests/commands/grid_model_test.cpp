#include "commands/grid_model.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace quarnex {
namespace {

// Heights chosen per text, to put a description right at and just past the
// height of a one-line row.
class TableMetrics final : public TextMetrics {
  public:
    double TextHeightTwips(std::string_view text) const override {
        const auto found = heights.find(std::string(text));
        return found == heights.end() ? 200.0 : found->second;
    }
    std::map<std::string, double> heights;
};

// Records every cell the grid says changed.
struct ChangeLog final : GridListener {
    void CellChanged(int row, int column) override { cells.emplace_back(row, column); }
    void RowHeightChanged(int row) override { heights.push_back(row); }
    std::vector<std::pair<int, int>> cells;
    std::vector<int> heights;
};

// Lines 240 twips high: a one-line row is 270.
struct GridModelTest : ::testing::Test {
    GridModelTest() { grid.SetListener(&log); }
    FixedTextMetrics metrics{240.0};
    SlotTable slots;
    GridModel grid{slots, metrics};
    ChangeLog log;
};

TEST_F(GridModelTest, DescriptionRowsGrowWithTheirLinesAndNeverShrinkBelowOneLine) {
    EXPECT_EQ(grid.DescriptionRowHeight("") + grid.DescriptionRowHeight("one line"), 2 * 270);
    EXPECT_EQ(grid.DescriptionRowHeight("a\r\n\r\nb"), 3 * 240 + 45) << "empty lines count";

    // The one-line height itself is enough; one twip more is not.
    TableMetrics table;
    table.heights = {{" ", 250.0}, {"fits", 280.0}, {"taller", 281.0}};
    SlotTable other;
    const GridModel measured(other, table);
    EXPECT_EQ(measured.BaseRowHeight(), 280);
    EXPECT_EQ(measured.DescriptionRowHeight("fits"), 280);
    EXPECT_EQ(measured.DescriptionRowHeight("taller"), 281 + 45);
}

// The Disk ID cell for each record and mark, from a fresh grid.
TEST_F(GridModelTest, IdCellsArePaddedDashedAndMarkedInPlaceOfTheTrailingSpace) {
    const std::tuple<std::optional<std::string>, RowMark, std::string> cases[] = {
        {std::nullopt, RowMark::None, " ----------- "},
        {std::nullopt, RowMark::Selection, " ----------- *"},
        {"FDISK007   ", RowMark::None, " FDISK007    "},
        {"FDISK007   ", RowMark::Unmarked, " FDISK007   "},
        {"FDISK007   ", RowMark::Selection, " FDISK007    *"},
        {"FDISK007   ", RowMark::Edit, " FDISK007    >"},
    };
    for (const auto& [id, mark, cell] : cases) {
        slots.SetDiskId(7, id, SlotChange::DiskIdRead);
        grid.SetMark(7, mark);
        EXPECT_EQ(grid.Cell(7, 1), cell);
    }
    slots.SetDescription(7, "two\r\nlines");
    EXPECT_EQ(grid.Cell(0, 0) + "|" + grid.Cell(0, 1) + "|" + grid.Cell(0, 2) + "|" +
                  grid.Cell(7, 0) + "|" + grid.Cell(999, 0) + "|" + grid.Cell(7, 2),
              "  #| Disk ID| Disk Description| 007| 999|two\r\nlines");
}

// What each change of a record does to a marked row: a load drops the mark,
// a write into the slot keeps a selection or edit.
TEST_F(GridModelTest, ChangedRecordsRepaintTheirCellsAndDecideTheMark) {
    const std::tuple<RowMark, SlotChange, std::string> cases[] = {
        {RowMark::Selection, SlotChange::DiskIdRead, " NEW         "},
        {RowMark::Edit, SlotChange::DiskIdWritten, " NEW         >"},
        {RowMark::Selection, SlotChange::DiskIdWritten, " NEW         *"},
        {RowMark::Unmarked, SlotChange::DiskIdWritten, " NEW         "},
    };
    for (const auto& [mark, change, cell] : cases) {
        slots.SetDiskId(3, "OLD        ", SlotChange::DiskIdRead);
        grid.SetMark(3, mark);
        log.cells.clear();
        slots.SetDiskId(3, "NEW        ", change);
        EXPECT_EQ(std::pair(grid.Cell(3, 1), log.cells),
                  std::pair(cell, decltype(log.cells){{3, 1}}));
    }
    // A load tells even an unchanged ID; an unchanged description is not told.
    log.cells.clear();
    slots.SetDiskId(3, "NEW        ", SlotChange::DiskIdRead);
    slots.SetDescription(3, "");
    slots.SetDescription(4, "four");
    EXPECT_EQ(log.cells, (decltype(log.cells){{3, 1}, {4, 2}}));
}

TEST_F(GridModelTest, FittingAndResettingSizeRowsAndResetClearsRecordsAndMarks) {
    slots.SetDescription(4, "a\r\nb\r\nc");
    grid.SetRowHeight(9, 3 * 240 + 45);  // a description that is gone since
    grid.FitRowHeights();
    EXPECT_EQ(std::pair(grid.RowHeight(4), grid.RowHeight(9)), std::pair(3 * 240 + 45, 270));
    slots.SetDiskId(7, "FDISK007   ", SlotChange::DiskIdRead);
    slots.SetSource(7, "a.img");
    slots.SetWriteUnfinished(7, true);
    grid.SetMark(7, RowMark::Selection);
    grid.SetMark(8, RowMark::Unmarked);
    grid.SetRowHeight(0, 400);
    log.cells.clear();
    grid.Reset();
    EXPECT_EQ(grid.Cell(7, 1) + "|" + grid.Cell(8, 1) + "|" + grid.Cell(4, 2) + "|" +
                  slots.Slot(7).source,
              " ----------- | ----------- ||");
    EXPECT_EQ(std::tuple(grid.RowHeight(4), grid.RowHeight(0), grid.SlotUnfinished(7)),
              std::tuple(270, 270, false));
    EXPECT_EQ(log.cells.size(), 4u) << "rows 7 and 8 unmarked, slot 7's ID, slot 4's text";
}

}  // namespace
}  // namespace quarnex
