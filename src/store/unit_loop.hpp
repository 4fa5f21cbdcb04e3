#pragma once
// The loop every long store transfer shares: units 0..count-1 in order, each
// unit's step saying whether it succeeded (a failed transfer and a cancel
// both count as a failed unit), and the progress display moved on after every
// unit that succeeded but the last. The caller shows the end itself, after
// the written data has reached the medium, so that "Finished" never shows
// while it might still fail. Where each operation tests the cancel flag stays
// in its own step.

#include <algorithm>

#include "state/context.hpp"
#include "state/progress.hpp"

namespace quarnex {

// The display reads "Finished" from 99.5 percent on (995 of 999); until the
// caller has flushed, the shown count stops just below that.
constexpr long LastUnitBeforeFinished(long total) {
    return (199 * total + 199) / 200 - 1;
}
static_assert(LastUnitBeforeFinished(999) == 994);
static_assert(LastUnitBeforeFinished(159) == 158);

// True when every unit succeeded; stops at the first unit that did not.
template <typename Step>
bool RunUnits(Context& ctx, int count, Step step) {
    for (int unit = 0; unit < count; ++unit) {
        if (!step(unit)) {
            return false;
        }
        if (unit + 1 < count) {
            ShowProgress(ctx, std::min<long>(unit, LastUnitBeforeFinished(count - 1)), count - 1);
        }
    }
    return true;
}

// A unit's transfer counts as failed once the user has asked to cancel.
inline bool NotCancelled(const Context& ctx) {
    return !ctx.state.CancelRequested;
}

}  // namespace quarnex
