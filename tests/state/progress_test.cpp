#include "state/progress.hpp"

#include <gtest/gtest.h>

#include <tuple>

#include "commands/refresh_main_window.hpp"
#include "ports/progress.hpp"
#include "support/test_world.hpp"

namespace quarnex {
namespace {

using testing::TestWorld;

TEST(WindowProgress, EventsBecomeTheStatusStripTexts) {
    const std::tuple<int, int, const char*, int> cases[] = {
        {0, 999, "Progress        0%", 0},
        {1, 8, "Progress        12%", 12},           // 12.5 rounds to even
        {995, 999, "Progress      Finished", 100}};  // 99.6 before rounding
    TestWorld w;
    Progress& progress = w.progress;
    int pumps = 0;
    for (const auto& [done, total, label, bar] : cases) {
        progress.UnitDone(done, total);
        EXPECT_EQ(w.state.status.progressLabel, label) << done;
        EXPECT_EQ(w.state.status.progressBar, bar) << done;
        EXPECT_EQ(w.ui.pumps, ++pumps) << "every step lets the window breathe";
    }

    // Failure, cancel and a new start do not pump; failure keeps the bar and
    // the action, a cancel changes nothing shown.
    StatusStrip& status = w.state.status;
    progress.Doing({.kind = ActivityKind::ImportFile, .path = "/x/y.img"});
    progress.UnitDone(40, 100);
    progress.Failed();
    progress.Cancelled();
    EXPECT_EQ(status.progressLabel + "|" + status.actionLabel + "|" + status.actionLabelPath,
              "Progress       Failed|Import of Disk Image /x/y.img|/x/y.img");
    EXPECT_EQ(status.progressBar, 40);
    progress.Started();
    EXPECT_EQ(status.progressLabel + "|" + status.actionLabel, "Progress|");
    EXPECT_EQ(status.progressBar, 0);
    progress.Finished();
    EXPECT_EQ(status.progressLabel, "Progress      Finished");
    EXPECT_EQ(w.ui.pumps, pumps + 2);
}

TEST(BusyState, CancelIsShownOnlyWhileBusyAndTheFlagNeverLeaks) {
    TestWorld w;
    const MenuModel& menus = w.model.menus;
    CancelCommand(w.ctx);  // before the operation: no effect on it
    const auto operation = [&](bool returnEarly) {
        BusyGuard busy(w.ctx);
        busy.Enter();
        EXPECT_FALSE(w.progress.CancelAsked());
        EXPECT_EQ(w.ui.changes.back(), WindowPart::Menus) << "the window redraws its menus";
        ApplyBusyState(w.ctx);  // what the window does before it draws them
        EXPECT_FALSE(EffectivelyEnabled(menus, MenuId::File_Menu_Scan));
        EXPECT_TRUE(EffectivelyEnabled(menus, MenuId::Help_Menu_About)) << "help stays on offer";
        CancelCommand(w.ctx);
        if (returnEarly) {
            return;
        }
        EXPECT_TRUE(w.progress.CancelAsked());
    };
    for (const bool returnEarly : {false, true}) {
        operation(returnEarly);
        EXPECT_FALSE(w.state.busy || w.state.CancelRequested)
            << returnEarly << ": a late cancel must not reach the next operation";
        ApplyBusyState(w.ctx);
        EXPECT_FALSE(menus[MenuId::Cancel_Menu].visible || menus[MenuId::Menu_Spacer_3].visible);
        EXPECT_TRUE(EffectivelyEnabled(menus, MenuId::File_Menu_Scan));
    }
}

TEST(WaitSeconds, SleepsAndSurvivesMidnight) {
    TestWorld w;
    w.clock.Set(86399.0);  // 23:59:59
    WaitSeconds(w.ctx, 3);
    EXPECT_NEAR(w.clock.SecondsSinceMidnight(), 2.0, 1e-9);
    ASSERT_FALSE(w.clock.sleeps.empty());
    EXPECT_NEAR(w.clock.sleeps.front(), 3.0, 1e-9) << "it sleeps instead of spinning";
    EXPECT_EQ(w.ui.pumps, 0) << "window events do not run during a wait";
}

}  // namespace
}  // namespace quarnex
