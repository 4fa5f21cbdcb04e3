// The main window's model: the grid's cells and rows, the edit box over it,
// what a reset of the window leaves; its store commands take the terminal
// tool's locks, and loading a store left by an unfinished format or restore
// says so.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "commands/grid_editing.hpp"
#include "commands/grid_model.hpp"
#include "commands/main_commands.hpp"
#include "commands/refresh_main_window.hpp"
#include "commands/store_refresh.hpp"
#include "state/progress.hpp"
#include "store/store_world.hpp"
#include "support/test_world.hpp"

namespace quarnex::testing {
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

TEST_F(GridModelTest, RowsAreAsHighAsTheirDescriptionsAndAResetRepaintsWhatItClears) {
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
    // A reset repaints what it clears: the marked row, then the records.
    grid.SetMark(7, RowMark::Selection);
    probe.cells.clear();
    grid.Reset();
    EXPECT_EQ(probe.cells, (Cells{{7, 1}, {4, 2}}));
}

// Line height 240 in the test world: a one-line row is 270 high, a row of
// three lines 3 * 240 + 45. The grid's top is 360, its height 6000.
constexpr int kBase = 270;
constexpr int kThreeLines = 765;
constexpr int kFirstRowTop = 360 + kBase + 45;  // below the header and its lines

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

TEST(RefreshMainWindow, ResetHidesStoreCommandsAndForgetsTheSelection) {
    TestWorld w;
    MenuModel& menus = w.model.menus;
    // A stick loaded from its slot image, slot 7 selected and being edited,
    // an operation running.
    w.state.devices.Row(1) = DeviceEntry{"sdb", "/dev/sdb", 1, "", 0};
    w.state.devices.count = w.state.selectedDevice = 1;
    RefreshMainWindow(w.ctx, 1);
    RefreshMainWindow(w.ctx, StateDeviceLoaded);
    w.state.selectedDisk = 7;
    RefreshMainWindow(w.ctx, StateDiskSelected);
    SlotTable& slots = w.state.slotTable;
    slots.baseId = "FDISK";
    slots.baseIdPresent = slots.baseIdNumbered = true;
    slots.SetDiskId(7, "FDISK007   ", SlotChange::DiskIdRead);
    slots.SetSource(7, "a.img");
    slots.SetWriteUnfinished(7, true);
    w.model.grid.SetMark(7, RowMark::Selection);
    w.model.grid.SetMark(8, RowMark::Unmarked);
    slots.SetDescription(7, "two\r\nlines");
    w.model.grid.SetRowHeight(7, 600);
    w.model.edit.EditingActive = w.model.edit.boxVisible = true;
    w.state.imageSource = SourceUsbSlot;
    BusyGuard busy(w.ctx.progress);
    busy.Enter();

    RefreshMainWindow(w.ctx, StateReset);
    for (MenuId id :
         {MenuModel::SelectEntry(1), MenuId::File_Menu_Import, MenuId::File_Menu_Export,
          MenuId::File_Menu_Format, MenuId::Image_Menu_Import_USB_DISKxxx,
          MenuId::Image_Menu_Export_USB_DISKxxx, MenuId::Cancel_Menu, MenuId::Menu_Spacer_3}) {
        EXPECT_FALSE(menus[id].visible) << static_cast<int>(id);
    }
    EXPECT_EQ(menus[MenuId::File_Menu_Scan].caption, "Scan Drives");
    EXPECT_EQ(w.model.frameCaption, " Disk Selection ");
    const GridModel& grid = w.model.grid;
    EXPECT_EQ(grid.Cell(7, 0) + "|" + grid.Cell(7, 1) + "|" + grid.Cell(8, 1) + "|" +
                  grid.Cell(7, 2) + "|" + slots.Slot(7).source,
              " 007| ----------- | ----------- ||");
    EXPECT_EQ(std::pair(grid.RowHeight(7), grid.SlotUnfinished(7)),
              std::pair(grid.BaseRowHeight(), false));
    EXPECT_FALSE(w.model.edit.EditingActive || w.model.edit.boxVisible);
    EXPECT_EQ(w.state.selectedDisk + w.state.selectedDevice + w.state.devices.count, 0);
    EXPECT_TRUE(slots.baseId.empty() && !slots.baseIdPresent && !slots.baseIdNumbered);
    EXPECT_FALSE(menus.busy);
    EXPECT_TRUE(w.state.status.bufferOpaque) << "a slot's image is no longer what the slot holds";
}

using Command = std::function<void(WindowContext&)>;

TEST(WindowStoreLock, StoreCommandsRefuseAStoreHeldByAnotherProgram) {
    const std::pair<Command, bool> rows[] = {
        // needs the store alone
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
            StoreWorld w;
            w.state.selectedDisk = 5;
            const LockResult held =
                w.system.TryLock(w.store, holderWrites ? LockKind::Exclusive : LockKind::Shared);
            ASSERT_TRUE(held.lock);
            rows[row].first(w.ctx);
            const bool refused = holderWrites || rows[row].second;
            const std::string inUse = w.store +
                                      " is in use by another program.\r\nNothing was done. Try "
                                      "again when that program has finished.";
            EXPECT_EQ(w.ui.messages.size() == 1 && w.ui.messages[0].text == inUse, refused);
            EXPECT_TRUE(!refused || w.devices.Count(FaultOp::Open, "usbstore") == 0);
        }
    }
}

TEST(WindowStoreLock, LoadingAStoreLeftByAnUnfinishedFormatOrRestoreSaysSo) {
    StoreWorld w;
    w.PutLabel(1, "FDISK001   ");
    PutBytes(w.store, 3, "QRNXBUSY");
    EXPECT_TRUE(LoadSelectedStore(w.ctx)) << "the store is still loaded";
    EXPECT_EQ(w.model.grid.Cell(1, 1), " FDISK001    ");
    ASSERT_EQ(w.ui.messages.size(), 1u);
    EXPECT_EQ(std::tie(w.ui.messages[0].title, w.ui.messages[0].text),
              std::tuple("Format Or Restore Not Finished",
                         "The last format or restore of " + w.store +
                             " did not finish.\r\nIts slots may mix old and new disks. Run it "
                             "again."));
}

TEST(StoreRefresh, TheWindowReadsAgainOnlyWhatChangedElsewhereAndNeverWaits) {
    enum Elsewhere { Nothing, Described, Emptied, HeldForWriting, EditOpen };
    const std::pair<Elsewhere, StoreCheck> rows[] = {{Nothing, StoreCheck::Current},
                                                     {Described, StoreCheck::Reloaded},
                                                     {Emptied, StoreCheck::Reloaded},
                                                     {HeldForWriting, StoreCheck::Busy},
                                                     {EditOpen, StoreCheck::Current}};
    for (const auto& [elsewhere, expected] : rows) {
        SCOPED_TRACE(static_cast<int>(elsewhere));
        StoreWorld w;
        w.PutSlot0File("DISKS.TXT", kCreatedHeader + "005   1>before\r\n");
        ASSERT_TRUE(LoadSelectedStore(w.ctx));
        LockResult held;
        if (elsewhere == Described || elsewhere == EditOpen) {
            w.PutSlot0File("DISKS.TXT", kCreatedHeader + "005   1>after\r\n");
        } else if (elsewhere == Emptied) {
            w.PutSlot0File("DISKS.TXT", "");
        } else if (elsewhere == HeldForWriting) {
            held = w.system.TryLock(w.store, LockKind::Exclusive);
        }
        w.model.edit.boxVisible = elsewhere == EditOpen;
        EXPECT_EQ(ReloadIfChangedElsewhere(w.ctx), expected);
        const bool reloaded = expected == StoreCheck::Reloaded;
        EXPECT_EQ(w.model.grid.Description(5),
                  reloaded ? (elsewhere == Described ? "after" : "") : "before");
        EXPECT_TRUE(w.ui.messages.empty());
    }
}

}  // namespace
}  // namespace quarnex::testing
