#include "state/progress.hpp"

#include <gtest/gtest.h>

#include "commands/refresh_main_window.hpp"

#include "support/test_world.hpp"

namespace quarnex {
namespace {

using testing::TestWorld;

TEST(ShowProgress, PercentagesFinishedAndPumping) {
    TestWorld w;
    const StatusStrip& status = w.state.status;

    ShowProgress(w.ctx, 0, 999);
    EXPECT_EQ(status.progressLabel, "Progress        0%");
    EXPECT_EQ(status.progressBar, 0);
    EXPECT_EQ(w.ui.pumps, 1);

    ShowProgress(w.ctx, 1, 8);  // 12.5 rounds to even
    EXPECT_EQ(status.progressLabel, "Progress        12%");
    EXPECT_EQ(status.progressBar, 12);

    ShowProgress(w.ctx, 37, 100);
    EXPECT_EQ(status.progressLabel, "Progress        37%");

    ShowProgress(w.ctx, 995, 999);  // 99.6 before rounding
    EXPECT_EQ(status.progressLabel, "Progress      Finished");
    EXPECT_EQ(status.progressBar, 100);

    ShowProgress(w.ctx, 999, 999);
    EXPECT_EQ(status.progressLabel, "Progress      Finished");
    EXPECT_EQ(w.ui.pumps, 5);
}

TEST(ShowProgress, ResetAndFailureDoNotPump) {
    TestWorld w;
    StatusStrip& status = w.state.status;
    status.actionLabel = "Import of Disk Image x";
    ShowProgress(w.ctx, 40, 100);
    const int pumps = w.ui.pumps;

    ShowProgress(w.ctx, -1, -1);
    EXPECT_EQ(status.progressLabel, "Progress       Failed");
    EXPECT_EQ(status.progressBar, 40) << "the bar keeps what it showed";
    EXPECT_EQ(status.actionLabel, "Import of Disk Image x");

    ShowProgress(w.ctx, -1, 0);
    EXPECT_EQ(status.progressLabel, "Progress");
    EXPECT_EQ(status.progressBar, 0);
    EXPECT_EQ(status.actionLabel, "");
    EXPECT_EQ(w.ui.pumps, pumps);
}

TEST(BusyState, CancelIsShownOnlyWhileBusyAndTheFlagNeverLeaks) {
    TestWorld w;
    const MenuModel& menus = w.model.menus;
    EXPECT_FALSE(menus[MenuId::Cancel_Menu].visible);

    CancelCommand(w.ctx);  // before the operation: no effect on it
    BusyOn(w.ctx);
    EXPECT_FALSE(w.state.CancelRequested);
    EXPECT_EQ(w.ui.changes.back(), WindowPart::Menus) << "the window is told to redraw its menus";
    ApplyBusyState(w.ctx);  // what the window does before it draws them
    EXPECT_TRUE(menus[MenuId::Cancel_Menu].visible);
    EXPECT_TRUE(menus[MenuId::Menu_Spacer_3].visible);
    EXPECT_FALSE(EffectivelyEnabled(menus, MenuId::File_Menu_Scan));
    EXPECT_FALSE(EffectivelyEnabled(menus, MenuId::Image_Menu_Export_Image_File));
    EXPECT_FALSE(EffectivelyEnabled(menus, MenuId::Menu_Image_Zero));
    EXPECT_TRUE(EffectivelyEnabled(menus, MenuId::Cancel_Menu));
    EXPECT_TRUE(EffectivelyEnabled(menus, MenuId::Help_Menu_About));

    CancelCommand(w.ctx);
    EXPECT_TRUE(w.state.CancelRequested);
    BusyOff(w.ctx);
    EXPECT_FALSE(w.state.CancelRequested) << "a late cancel must not reach the next operation";
    ApplyBusyState(w.ctx);
    EXPECT_FALSE(menus[MenuId::Cancel_Menu].visible);
    EXPECT_FALSE(menus[MenuId::Menu_Spacer_3].visible);
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

    w.clock.Set(86399.5);
    EXPECT_NEAR(ElapsedSince(w.clock, 86399.0), 0.5, 1e-9);
    w.clock.Set(1.0);
    EXPECT_NEAR(ElapsedSince(w.clock, 86399.0), 2.0, 1e-9);
}

}  // namespace
}  // namespace quarnex
