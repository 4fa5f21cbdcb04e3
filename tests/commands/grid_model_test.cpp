#include "commands/grid_model.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace quarnex {
namespace {

using Cells = std::vector<std::pair<int, int>>;

// Heights per text (200 for any other), and every cell the grid says changed.
struct Probe final : TextMetrics, GridListener {
    double TextHeightTwips(std::string_view text) const override {
        const auto found = heights.find(std::string(text));
        return found == heights.end() ? 200.0 : found->second;
    }
    void CellChanged(int row, int column) override { cells.emplace_back(row, column); }
    void RowHeightChanged(int) override {}
    void RowLookChanged(int row) override { looks.push_back(row); }
    std::map<std::string, double> heights;
    Cells cells;
    std::vector<int> looks;
};

// Lines 240 twips high: a one-line row is 270.
struct GridModelTest : ::testing::Test {
    GridModelTest() { grid.SetListener(&probe); }
    FixedTextMetrics metrics{240.0};
    SlotTable slots;
    GridModel grid{slots, metrics};
    Probe probe;
};

// Slot 3 read as OLD, given a mark, then its ID changed: the Disk ID cell
// after each step. The ID stands between spaces, dashed when not known; a
// mark takes the trailing space's place; a load drops it, a write into the
// slot keeps a selection or edit.
TEST_F(GridModelTest, IdCellsArePaddedDashedMarkedAndRepaintedAsTheRecordChanges) {
    const std::optional<std::string> none;
    const std::tuple<RowMark, std::optional<std::string>, SlotChange, std::string, std::string>
        cases[] = {
            {RowMark::None, "NEW        ", SlotChange::DiskIdRead, " OLD         ",
             " NEW         "},
            {RowMark::Unmarked, none, SlotChange::DiskIdWritten, " OLD        ", " ----------- "},
            {RowMark::Selection, none, SlotChange::DiskIdRead, " OLD         *", " ----------- "},
            {RowMark::Selection, "NEW", SlotChange::DiskIdWritten, " OLD         *", " NEW  *"},
            {RowMark::Edit, none, SlotChange::DiskIdWritten, " OLD         >", " ----------- >"},
            // A load tells even an unchanged ID.
            {RowMark::None, "OLD        ", SlotChange::DiskIdRead, " OLD         ",
             " OLD         "},
        };
    for (const auto& [mark, id, change, marked, after] : cases) {
        slots.SetDiskId(3, "OLD        ", SlotChange::DiskIdRead);
        grid.SetMark(3, mark);
        EXPECT_EQ(grid.Cell(3, 1), marked);
        probe.cells.clear();
        slots.SetDiskId(3, id, change);
        EXPECT_EQ(std::pair(grid.Cell(3, 1), probe.cells), std::pair(after, Cells{{3, 1}}));
    }
    // A slot's write mark found, found again, then cleared: its row is
    // coloured and uncoloured, never repainted for nothing.
    for (const bool unfinished : {true, true, false}) {
        slots.SetWriteUnfinished(7, unfinished);
    }
    EXPECT_EQ(probe.looks, (std::vector<int>{7, 7}));
    // An unchanged description is not told.
    probe.cells.clear();
    slots.SetDescription(3, "");
    slots.SetDescription(7, "two\r\nlines");
    EXPECT_EQ(probe.cells, (Cells{{7, 2}}));
    EXPECT_EQ(grid.Cell(0, 0) + "|" + grid.Cell(0, 1) + "|" + grid.Cell(0, 2) + "|" +
                  grid.Cell(7, 0) + "|" + grid.Cell(999, 0) + "|" + grid.Cell(7, 2),
              "  #| Disk ID| Disk Description| 007| 999|two\r\nlines");
}

TEST_F(GridModelTest, RowsAreAsHighAsTheirDescriptionsAndResetClearsRecordsAndMarks) {
    EXPECT_EQ(grid.DescriptionRowHeight("") + grid.DescriptionRowHeight("one line"), 2 * 270);
    EXPECT_EQ(grid.DescriptionRowHeight("a\r\n\r\nb"), 3 * 240 + 45) << "empty lines count";
    // The one-line height itself is enough; one twip more is not.
    probe.heights = {{" ", 250.0}, {"fits", 280.0}, {"taller", 281.0}};
    SlotTable other;
    const GridModel measured(other, probe);
    EXPECT_EQ(std::tuple(measured.BaseRowHeight(), measured.DescriptionRowHeight("fits"),
                         measured.DescriptionRowHeight("taller")),
              std::tuple(280, 280.0, 281.0 + 45));
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
    probe.cells.clear();
    grid.Reset();
    EXPECT_EQ(grid.Cell(7, 1) + "|" + grid.Cell(8, 1) + "|" + grid.Cell(4, 2) + "|" +
                  slots.Slot(7).source,
              " ----------- | ----------- ||");
    EXPECT_EQ(std::tuple(grid.RowHeight(4), grid.RowHeight(0), grid.SlotUnfinished(7)),
              std::tuple(270, 270, false));
    EXPECT_EQ(probe.cells, (Cells{{7, 1}, {8, 1}, {4, 2}, {7, 1}}))
        << "rows 7 and 8 unmarked, then the records: slot 4's text, slot 7's ID";
}

}  // namespace
}  // namespace quarnex
