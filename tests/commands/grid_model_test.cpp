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

// Lines 240 twips high: a one-line row is 270.
struct GridModelTest : ::testing::Test {
    FixedTextMetrics metrics{240.0};
    SlotTable slots;
    GridModel grid{slots, metrics};
};

TEST_F(GridModelTest, DescriptionRowsGrowWithTheirLinesAndNeverShrinkBelowOneLine) {
    EXPECT_EQ(grid.DescriptionRowHeight("") + grid.DescriptionRowHeight("one line"), 2 * 270);
    EXPECT_EQ(grid.DescriptionRowHeight("a\r\n\r\nb"), 3 * 240 + 45) << "empty lines count";

    // The one-line height itself is enough; one twip more is not.
    TableMetrics table;
    table.heights = {{" ", 250.0}, {"fits", 280.0}, {"taller", 281.0}};
    const GridModel measured(slots, table);
    EXPECT_EQ(measured.BaseRowHeight(), 280);
    EXPECT_EQ(measured.DescriptionRowHeight("fits"), 280);
    EXPECT_EQ(measured.DescriptionRowHeight("taller"), 281 + 45);
}

TEST_F(GridModelTest, FittingSizesEverySlotRowToItsDescriptionAfresh) {
    slots.SetCell(4, 2, "a\r\nb\r\nc");
    grid.SetRowHeight(9, 3 * 240 + 45);  // a description that is gone since
    grid.FitRowHeights();
    EXPECT_EQ(grid.RowHeight(4), 3 * 240 + 45);
    EXPECT_EQ(grid.RowHeight(9), 270) << "a row whose description went shrinks again";
}

TEST_F(GridModelTest, StartsAndResetsWithHeadersNumbersDashesAndOneLineRows) {
    EXPECT_EQ(grid.Cell(1, 0) + grid.Cell(999, 0) + grid.Cell(999, 1), " 001 999 ----------- ");
    EXPECT_EQ(grid.RowHeight(999), 270);
    grid.SetCell(7, 0, " xyz");
    grid.SetCell(7, 1, " FDISK007    *");
    grid.SetCell(7, 2, "two\r\nlines");
    grid.SetRowHeight(7, 525);
    grid.SetRowHeight(0, 400);
    grid.Reset(false);
    // The device-list reset leaves the numbers; the header row is reset too.
    EXPECT_EQ(grid.Cell(7, 0) + "|" + grid.Cell(7, 1) + "|" + grid.Cell(7, 2),
              " xyz| ----------- |");
    EXPECT_EQ(grid.RowHeight(7) + grid.RowHeight(0), 2 * 270);
    EXPECT_EQ(grid.Cell(0, 0) + "|" + grid.Cell(0, 1) + "|" + grid.Cell(0, 2),
              "  #| Disk ID| Disk Description");
    grid.Reset(true);
    EXPECT_EQ(grid.Cell(7, 0), " 007");
}

}  // namespace
}  // namespace quarnex
