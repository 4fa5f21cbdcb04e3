#include "commands/grid_editing.hpp"

#include <gtest/gtest.h>

#include "support/test_world.hpp"

namespace quarnex {
namespace {

using testing::TestWorld;

// Line height 240 in the test world: a one-line row is 270 high, a row of
// three lines 3 * 240 + 45.
constexpr int kBase = 270;
constexpr int kThreeLines = 765;

TEST(EditRowTop, CountsTheRowsAboveAndIsOutOfViewBeyondTheGrid) {
    TestWorld w;
    ASSERT_EQ(w.model.grid.BaseRowHeight(), kBase);
    EditState& edit = w.model.edit;
    const GridView view{360, 6000, 1};
    edit.EditRow = 5;
    // Header, its lines, four rows of 270 with their lines.
    EXPECT_EQ(EditRowTop(w.model, view), 360 + kBase + 45 + 4 * (kBase + 15));
    w.state.slotTable.SetCell(3, 2, "a\r\nb\r\nc");
    EXPECT_EQ(EditRowTop(w.model, view), 360 + kBase + 45 + 3 * (kBase + 15) + kThreeLines + 15);

    // fit = round(6000 / 285) - 1 = 20 rows below the top row.
    edit.EditRow = 21;
    EXPECT_GE(EditRowTop(w.model, view), 0);
    edit.EditRow = 22;
    EXPECT_EQ(EditRowTop(w.model, view), -1);
    edit.EditRow = 9;
    EXPECT_EQ(EditRowTop(w.model, GridView{360, 6000, 10}), -1);  // above the top row
    EXPECT_EQ(EditRowTop(w.model, GridView{360, 6000, 9}), 360 + kBase + 45);
}

TEST(ScrollMaximum, LastTopRowStillShowsSlot999) {
    TestWorld w;
    GridModel& grid = w.model.grid;
    // 300 for the header; 20 rows of 285 fill 6000 exactly, the 21st does not.
    EXPECT_EQ(ScrollMaximum(grid, 6000), 980);
    EXPECT_EQ(ScrollMaximum(grid, 5999), 981);
    // Three-line rows at the end: 7 of 780 fit under the header.
    for (int row = 990; row <= 999; ++row) {
        grid.SetCell(row, 2, "a\r\nb\r\nc");
    }
    EXPECT_EQ(ScrollMaximum(grid, 6000), 993);
    // The bar's value is the top row, but never beyond the maximum.
    EXPECT_EQ(TopRowFor(999, 993), 993);
    EXPECT_EQ(TopRowFor(500, 993), 500);
}

TEST(PlaceEditBox, GrowsWithTheTextAndStopsAtTheGridEdge) {
    TestWorld w;
    EditState& edit = w.model.edit;
    EditBoxPlacement placement;
    const GridView view{360, 6000, 1};
    edit.EditRow = 2;
    edit.EditingActive = true;
    edit.boxText = "one line";
    PlaceEditBox(w.ctx, view, placement);
    EXPECT_TRUE(edit.boxVisible);
    EXPECT_EQ(placement.top, 360 + kBase + 45 + kBase + 15);
    EXPECT_EQ(placement.height, kBase - 15);
    edit.boxText = "a\r\nb\r\nc";
    PlaceEditBox(w.ctx, view, placement);
    EXPECT_EQ(placement.height, kThreeLines - 15);

    // Near the bottom the box is cut at the grid's lower edge.
    edit.EditRow = 20;
    PlaceEditBox(w.ctx, view, placement);
    const int top = 360 + kBase + 45 + 19 * (kBase + 15);
    EXPECT_EQ(placement.top, top);
    EXPECT_EQ(placement.height, 360 + 6000 - top - 15);

    // Out of view: hidden, the edit still open.
    edit.EditRow = 30;
    PlaceEditBox(w.ctx, view, placement);
    EXPECT_FALSE(edit.boxVisible);
    EXPECT_TRUE(edit.EditingActive);
}

}  // namespace
}  // namespace quarnex
