// The window's store commands take the terminal tool's locks, and loading a
// store left by an unfinished format or restore says so.

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "commands/main_commands.hpp"
#include "store/store_world.hpp"

namespace quarnex {
namespace {

using Command = std::function<void(WindowContext&)>;

TEST(WindowStoreLock, StoreCommandsRefuseAStoreHeldByAnotherProgram) {
    // (command, needs the store alone)
    const std::pair<Command, bool> rows[] = {
        {[](WindowContext& c) { LoadSelectedStore(c); }, true},
        {[](WindowContext& c) { SaveStoreDescriptions(c); }, true},
        {[](WindowContext& c) { ExportImageToSlot(c); }, true},
        {[](WindowContext& c) { ImportStoreFromFile(c); }, true},
        {[](WindowContext& c) { FormatStoreFromDialog(c, c.state.SelectedEntry().path); }, true},
        {[](WindowContext& c) { ExportStoreToFile(c); }, false},
        {[](WindowContext& c) { ImportImageFromSlot(c); }, false}};
    for (int row = 0; row < 7; ++row) {
        for (const bool holderWrites : {true, false}) {
            SCOPED_TRACE(std::to_string(row) + (holderWrites ? ", held for writing" : ""));
            testing::StoreWorld w;
            w.state.selectedDisk = 5;
            const LockResult held =
                w.posix.TryLock(w.store, holderWrites ? LockKind::Exclusive : LockKind::Shared);
            ASSERT_TRUE(held.lock);
            rows[row].first(w.ctx);
            const bool refused = holderWrites || rows[row].second;
            const std::string inUse = w.store +
                                      " is in use by another program.\r\nNothing was done. Try "
                                      "again when that program has finished.";
            EXPECT_EQ(w.ui.messages.size() == 1 && w.ui.messages[0].text == inUse, refused);
            EXPECT_TRUE(!refused || w.devices.Count(testing::FaultOp::Open, "usbstore") == 0);
        }
    }
}

TEST(WindowStoreLock, LoadingAStoreLeftByAnUnfinishedFormatOrRestoreSaysSo) {
    testing::StoreWorld w;
    w.PutLabel(1, "FDISK001   ");
    testing::PutBytes(w.store, 3, "QRNXBUSY");
    EXPECT_TRUE(LoadSelectedStore(w.ctx)) << "the store is still loaded";
    EXPECT_EQ(w.model.grid.Cell(1, 1), " FDISK001    ");
    ASSERT_EQ(w.ui.messages.size(), 1u);
    EXPECT_EQ(std::tie(w.ui.messages[0].title, w.ui.messages[0].text),
              std::tuple("Format Or Restore Not Finished",
                         "The last format or restore of " + w.store +
                             " did not finish.\r\nIts slots may mix old and new disks. Run it "
                             "again."));
}

}  // namespace
}  // namespace quarnex
