// Find in the window: the list's rows and the note under them.
#include "commands/store_find_list.hpp"

#include <gtest/gtest.h>

#include <tuple>

#include "store/store_world.hpp"

namespace quarnex {
namespace {

using namespace testing;
using Texts = std::tuple<std::string, std::string, std::string, std::string>;

// The window's list: a description on one row, and what the note says.
TEST(StoreFind, WindowListShowsMatchesAndSaysWhenNothingMatched) {
    StoreWorld w;
    w.state.slotTable.SetDescription(9, "Lathe\r\nMarch");
    EXPECT_EQ(FindInSelectedStore(w.ctx, "?ARCH").note,
              "Nothing in " + w.store + " matches \"?ARCH\".");
    const FindListing described = FindInSelectedStore(w.ctx, "MARCH");
    ASSERT_EQ(described.rows.size(), 1u);
    EXPECT_EQ(
        std::tie(described.rows[0].slotText, described.rows[0].diskId, described.rows[0].found,
                 described.note),
        Texts("009", "-----------", "Description: Lathe / March", "1 match in " + w.store + "."));
    w.state.selectedDevice = 0;
    EXPECT_EQ(FindInSelectedStore(w.ctx, "x").note, "Select a store first.");
    w.ExpectSettled();
}

}  // namespace
}  // namespace quarnex
