// A save takes in what another program wrote to DISKS.TXT since the load,
// and asks only when both changed the same slot differently.

#include <gtest/gtest.h>

#include <deque>

#include "store/descriptions.hpp"
#include "store/descriptions_merge.hpp"
#include "store/store_world.hpp"

namespace quarnex::testing {
namespace {

std::string FileWith(const std::string& five, const std::string& six) {
    return kCreatedHeader + "005   1>" + five + "\r\n006   1>" + six + "\r\n";
}

TEST(DescriptionsMerge, ASaveKeepsWhatAnotherProgramWroteMeanwhile) {
    using enum MessageAnswer;
    struct Row {
        const char* name;
        std::string onStore;  // what the other program leaves; slot 6 was "mine" here
        std::deque<MessageAnswer> answers;
        bool saved;
        const char* five;
        const char* six;
        std::size_t questions;
    };
    const Row rows[] = {
        {"another slot", FileWith("theirs", "old"), {}, true, "theirs", "mine", 0},
        {"same slot, kept here", FileWith("old", "other"), {Yes}, true, "old", "mine", 1},
        {"same slot, taken from the store",
         FileWith("old", "other"),
         {No},
         true,
         "old",
         "other",
         1},
        {"the same change", FileWith("theirs", "mine"), {}, true, "theirs", "mine", 0},
        {"unchanged", FileWith("old", "old"), {}, true, "old", "mine", 0},
        {"now unreadable",
         FileWith("old", "old") + std::string(1, '\0'),
         {},
         false,
         "old",
         "mine",
         1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StoreWorld w;
        SlotTable& table = w.state.slotTable;
        w.PutSlot0File("DISKS.TXT", FileWith("old", "old"));
        ASSERT_TRUE(LoadDescriptions(w.ctx, w.state.SelectedStore()));
        table.SetDescription(6, "mine");
        w.PutSlot0File("DISKS.TXT", row.onStore);
        w.ui.messageAnswers = row.answers;

        EXPECT_EQ(SaveDescriptions(w.ctx, w.state.SelectedStore()), row.saved);
        EXPECT_EQ(w.ui.messages.size(), row.questions);
        EXPECT_EQ(UnsavedSlots(table), row.saved ? std::vector<int>{} : std::vector<int>{6});
        EXPECT_EQ(table.Slot(5).description + "|" + table.Slot(6).description,
                  std::string(row.five) + "|" + row.six);
        if (!row.saved) {
            EXPECT_EQ(w.Slot0File(), row.onStore) << "what cannot be read is not replaced";
            continue;
        }
        ASSERT_TRUE(LoadDescriptions(w.ctx, w.state.SelectedStore()));
        EXPECT_EQ(table.Slot(5).description + "|" + table.Slot(6).description,
                  std::string(row.five) + "|" + row.six);
    }
}

}  // namespace
}  // namespace quarnex::testing
