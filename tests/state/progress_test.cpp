#include "state/progress.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "commands/refresh_main_window.hpp"
#include "ports/progress.hpp"
#include "support/test_world.hpp"

namespace quarnex {
namespace {

using testing::TestWorld;

// Every event's status strip: label|bar|action|its path|pumps so far.
TEST(WindowProgress, EventsBecomeTheStatusStripTexts) {
    TestWorld w;
    Progress& p = w.progress;
    const StatusStrip& s = w.state.status;
    const std::string a = "|Import of Disk Image /x/y.img|/x/y.img|";
    const std::pair<std::function<void()>, std::string> steps[] = {
        {[&] { p.UnitDone(0, 999); }, "Progress        0%|0|||1"},
        {[&] { p.UnitDone(1, 8); }, "Progress        12%|12|||2"},          // 12.5 rounds to even
        {[&] { p.UnitDone(995, 999); }, "Progress      Finished|100|||3"},  // 99.6 before rounding
        {[&] { p.Doing({.kind = ActivityKind::ImportFile, .path = "/x/y.img"}); },
         "Progress      Finished|100" + a + "3"},
        {[&] { p.UnitDone(40, 100); }, "Progress        40%|40" + a + "4"},
        // Failure keeps the bar and the action; a cancel changes nothing shown.
        {[&] { p.Failed(), p.Cancelled(); }, "Progress       Failed|40" + a + "4"},
        {[&] { p.Started(); }, "Progress|0||/x/y.img|4"},
        {[&] { p.Finished(); }, "Progress      Finished|100||/x/y.img|5"},
    };
    for (const auto& [step, expected] : steps) {
        step();
        EXPECT_EQ(s.progressLabel + "|" + std::to_string(s.progressBar) + "|" + s.actionLabel +
                      "|" + s.actionLabelPath + "|" + std::to_string(w.ui.pumps),
                  expected);
    }
}

// Entering clears a cancel asked before; every way out, an early return too,
// leaves the busy state with the flag cleared for the next operation. (The
// menus while busy: the GUI's cancel test.)
TEST(BusyState, TheCancelFlagNeverLeaks) {
    TestWorld w;
    for (const bool returnEarly : {true, false}) {
        CancelCommand(w.ctx);
        [&] {
            BusyGuard busy(w.ctx.progress);
            busy.Enter();
            EXPECT_FALSE(w.progress.CancelAsked());
            CancelCommand(w.ctx);
            if (returnEarly) {
                return;
            }
            EXPECT_EQ(w.ui.changes.back(), WindowPart::Menus) << "the window redraws its menus";
        }();
        EXPECT_FALSE(w.state.busy || w.state.cancelRequested) << returnEarly;
    }
}

TEST(WaitSeconds, SleepsAndSurvivesMidnight) {
    TestWorld w;
    w.clock.Set(86399.0);  // 23:59:59
    WaitSeconds(w.clock, 3);
    EXPECT_NEAR(w.clock.SecondsSinceMidnight(), 2.0, 1e-9);
    ASSERT_FALSE(w.clock.sleeps.empty());
    EXPECT_NEAR(w.clock.sleeps.front(), 3.0, 1e-9) << "it sleeps instead of spinning";
    EXPECT_EQ(w.ui.pumps, 0) << "window events do not run during a wait";
}

}  // namespace
}  // namespace quarnex
