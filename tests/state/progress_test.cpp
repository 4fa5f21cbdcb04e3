#include "state/progress.hpp"

#include <gtest/gtest.h>

#include <tuple>

#include "commands/refresh_main_window.hpp"
#include "support/test_world.hpp"

namespace quarnex {
namespace {

using testing::TestWorld;

TEST(ShowProgress, PercentagesFinishedAndPumping) {
    const std::tuple<int, int, const char*, int> cases[] = {
        {0, 999, "Progress        0%", 0},
        {1, 8, "Progress        12%", 12},           // 12.5 rounds to even
        {995, 999, "Progress      Finished", 100}};  // 99.6 before rounding
    TestWorld w;
    int pumps = 0;
    for (const auto& [done, total, label, bar] : cases) {
        ShowProgress(w.ctx, done, total);
        EXPECT_EQ(w.state.status.progressLabel, label) << done;
        EXPECT_EQ(w.state.status.progressBar, bar) << done;
        EXPECT_EQ(w.ui.pumps, ++pumps) << "every step lets the window breathe";
    }

    // Failure and reset do not pump; failure keeps the bar and the action.
    StatusStrip& status = w.state.status;
    status.actionLabel = "Import of Disk Image x";
    ShowProgress(w.ctx, 40, 100);
    ShowProgress(w.ctx, -1, -1);
    EXPECT_EQ(status.progressLabel + "|" + status.actionLabel,
              "Progress       Failed|Import of Disk Image x");
    EXPECT_EQ(status.progressBar, 40);
    ShowProgress(w.ctx, -1, 0);
    EXPECT_EQ(status.progressLabel + "|" + status.actionLabel, "Progress|");
    EXPECT_EQ(status.progressBar, 0);
    EXPECT_EQ(w.ui.pumps, pumps + 1);
}

TEST(BusyState, CancelIsShownOnlyWhileBusyAndTheFlagNeverLeaks) {
    TestWorld w;
    const MenuModel& menus = w.model.menus;
    CancelCommand(w.ctx);  // before the operation: no effect on it
    BusyOn(w.ctx);
    EXPECT_FALSE(w.state.CancelRequested);
    EXPECT_EQ(w.ui.changes.back(), WindowPart::Menus) << "the window is told to redraw its menus";
    ApplyBusyState(w.ctx);  // what the window does before it draws them
    EXPECT_FALSE(EffectivelyEnabled(menus, MenuId::File_Menu_Scan));
    EXPECT_TRUE(EffectivelyEnabled(menus, MenuId::Help_Menu_About)) << "help stays on offer";
    CancelCommand(w.ctx);
    EXPECT_TRUE(w.state.CancelRequested);
    BusyOff(w.ctx);
    EXPECT_FALSE(w.state.CancelRequested) << "a late cancel must not reach the next operation";
    ApplyBusyState(w.ctx);
    EXPECT_FALSE(menus[MenuId::Cancel_Menu].visible || menus[MenuId::Menu_Spacer_3].visible);
    EXPECT_TRUE(EffectivelyEnabled(menus, MenuId::File_Menu_Scan));
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
