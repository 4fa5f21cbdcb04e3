#include "commands/grid_editing.hpp"

#include <gtest/gtest.h>

#include "support/test_world.hpp"

namespace quarnex {
namespace {

using testing::TestWorld;

// Line height 240 in the test world: a one-line row is 270 high, a row of
// three lines 3 * 240 + 45. The grid's top is 360, its height 6000.
constexpr int kBase = 270;
constexpr int kThreeLines = 765;
constexpr int kFirstRowTop = 360 + kBase + 45;  // below the header and its lines

// (Following the scroll, growing by a line and hiding above the top row:
// the GUI's editing test, through real events.)
TEST(PlaceEditBox, FollowsTallRowsAboveAndStopsAtTheGridEdge) {
    TestWorld w;
    ASSERT_EQ(w.model.grid.BaseRowHeight(), kBase);
    EditState& edit = w.model.edit;
    edit.EditingActive = true;
    edit.boxText = "a\r\nb\r\nc";
    EditBoxPlacement placement;
    const auto place = [&](int row) {
        edit.EditRow = row;
        PlaceEditBox(w.ctx, GridView{360, 6000, 1}, placement);
        return edit.boxVisible ? placement.top : -1;
    };
    // Near the bottom the box is cut at the grid's lower edge; a row whose
    // upper half is below it is out of view.
    EXPECT_EQ(place(20), kFirstRowTop + 19 * (kBase + 15));
    EXPECT_EQ(placement.height, 360 + 6000 - placement.top - 15);
    EXPECT_EQ(place(21), -1);
    // fit = round(6000 / 285) - 1 = 20 rows below the top row.
    edit.EditRow = 22;
    EXPECT_GE(EditRowTop(w.model, GridView{360, 6000, 2}), 0);
    EXPECT_EQ(EditRowTop(w.model, GridView{360, 6000, 1}), -1);
    w.state.slotTable.SetDescription(3, "a\r\nb\r\nc");  // a tall row above
    EXPECT_EQ(place(5), kFirstRowTop + 3 * (kBase + 15) + kThreeLines + 15);
    EXPECT_EQ(placement.height, kThreeLines - 15);
    EXPECT_TRUE(edit.EditingActive) << "out of view the edit stays open";
}

}  // namespace
}  // namespace quarnex
