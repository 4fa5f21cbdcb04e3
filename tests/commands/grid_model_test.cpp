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

struct ChangeLog final : GridListener {
    void CellChanged(int row, int column) override { cells.emplace_back(row, column); }
    void RowHeightChanged(int row) override { rows.push_back(row); }
    std::vector<std::pair<int, int>> cells;
    std::vector<int> rows;
};

TEST(GridModel, StartsWithHeadersSlotNumbersDashesAndOneLineRows) {
    FixedTextMetrics metrics(240.0);
    SlotTable slots;
    const GridModel grid(slots, metrics);
    EXPECT_EQ(grid.BaseRowHeight(), 270);
    EXPECT_EQ(grid.Cell(0, 0), "  #");
    EXPECT_EQ(grid.Cell(0, 1), " Disk ID");
    EXPECT_EQ(grid.Cell(0, 2), " Disk Description");
    EXPECT_EQ(grid.Cell(1, 0), " 001");
    EXPECT_EQ(grid.Cell(7, 0), " 007");
    EXPECT_EQ(grid.Cell(999, 0), " 999");
    for (const int row : {1, 500, 999}) {
        EXPECT_EQ(grid.Cell(row, 1), " ----------- ");
        EXPECT_EQ(grid.Cell(row, 2), "");
    }
    for (const int row : {0, 1, 999}) {
        EXPECT_EQ(grid.RowHeight(row), 270);
    }
}

TEST(GridModel, DescriptionRowsGrowWithTheirLinesAndNeverShrinkBelowOneLine) {
    FixedTextMetrics fixed(240.0);
    SlotTable slots;
    const GridModel grid(slots, fixed);
    EXPECT_EQ(grid.DescriptionRowHeight(""), 270);
    EXPECT_EQ(grid.DescriptionRowHeight("one line"), 270);
    EXPECT_EQ(grid.DescriptionRowHeight("a\r\nb"), 2 * 240 + 45);
    EXPECT_EQ(grid.DescriptionRowHeight("a\r\n\r\nb"), 3 * 240 + 45) << "empty lines count";

    // The one-line height itself is enough; one twip more is not.
    TableMetrics table;
    table.heights = {{" ", 250.0}, {"fits", 280.0}, {"taller", 281.0}};
    const GridModel measured(slots, table);
    EXPECT_EQ(measured.BaseRowHeight(), 280);
    EXPECT_EQ(measured.DescriptionRowHeight("fits"), 280);
    EXPECT_EQ(measured.DescriptionRowHeight("taller"), 281 + 45);
}

TEST(GridModel, FittingSizesEverySlotRowToItsDescriptionAfresh) {
    FixedTextMetrics metrics(240.0);
    SlotTable slots;
    GridModel grid(slots, metrics);
    slots.SetCell(4, 2, "a\r\nb\r\nc");
    grid.SetRowHeight(9, 3 * 240 + 45);  // a description that is gone since
    grid.FitRowHeights();
    EXPECT_EQ(grid.RowHeight(4), 3 * 240 + 45);
    EXPECT_EQ(grid.RowHeight(9), 270) << "a row whose description went shrinks again";
    EXPECT_EQ(grid.RowHeight(5), 270);
}

TEST(GridModel, ResetsShrinkRowsAndClearCellsButKeepHeaders) {
    FixedTextMetrics metrics(240.0);
    SlotTable slots;
    GridModel grid(slots, metrics);
    grid.SetCell(7, 0, " xyz");
    grid.SetCell(7, 1, " FDISK007    *");
    grid.SetCell(7, 2, "two\r\nlines");
    grid.SetRowHeight(7, 525);
    grid.SetRowHeight(0, 400);

    grid.Reset(false);
    EXPECT_EQ(grid.Cell(7, 0), " xyz") << "the device-list reset leaves the numbers";
    EXPECT_EQ(grid.Cell(7, 1), " ----------- ");
    EXPECT_EQ(grid.Cell(7, 2), "");
    EXPECT_EQ(grid.RowHeight(7), 270);
    EXPECT_EQ(grid.RowHeight(0), 270) << "the header row is reset too";
    EXPECT_EQ(grid.Cell(0, 1), " Disk ID");

    grid.Reset(true);
    EXPECT_EQ(grid.Cell(7, 0), " 007");

    // A view is told about each cell and row that changed, and nothing else.
    grid.SetCell(3, 2, "x");
    grid.SetRowHeight(3, 600);
    ChangeLog log;
    grid.SetListener(&log);
    grid.Reset(true);
    grid.SetListener(nullptr);
    EXPECT_EQ(log.cells, (std::vector<std::pair<int, int>>{{3, 2}}));
    EXPECT_EQ(log.rows, std::vector<int>{3});
}

TEST(GridModel, MarkersReplaceTheLastTwoCharactersOfTheIdCell) {
    const std::string cell = " FDISK001    ";
    const std::string selected = WithMarker(cell, kSelectionMarker);
    EXPECT_EQ(selected, " FDISK001    *");
    const std::string editing = WithMarker(selected, kEditMarker);
    EXPECT_EQ(editing, " FDISK001    >");
    EXPECT_EQ(WithMarker(editing, ""), " FDISK001   ") << "no marker: the first 12 only";
    EXPECT_EQ(WithMarker(WithMarker(editing, ""), kSelectionMarker), selected);
    EXPECT_EQ(WithMarker(std::string(kNoDiskIdCell), kSelectionMarker), " ----------- *");
}

}  // namespace
}  // namespace quarnex
