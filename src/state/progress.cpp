#include "state/progress.hpp"

namespace quarnex {

namespace {
constexpr double kSecondsPerDay = 86400.0;

// Entering and leaving the busy state both start with a clean cancel flag, so a
// Cancel chosen after one operation ended can never stop the next one.
void SetBusy(Context& ctx, bool busy) {
    ctx.state.cancelRequested = false;
    ctx.state.busy = busy;
    ctx.ui.Changed(WindowPart::Menus);
}
}  // namespace

void LeaveBusyState(Context& ctx) {
    SetBusy(ctx, false);
}

void BusyGuard::Enter() {
    SetBusy(ctx_, true);
}

void CancelCommand(Context& ctx) {
    ctx.state.cancelRequested = true;
}

double ElapsedSince(Clock& clock, double start) {
    double elapsed = clock.SecondsSinceMidnight() - start;
    if (elapsed < 0) {
        elapsed += kSecondsPerDay;
    }
    return elapsed;
}

void WaitSeconds(Clock& clock, double seconds) {
    const double start = clock.SecondsSinceMidnight();
    for (double elapsed = 0; elapsed < seconds; elapsed = ElapsedSince(clock, start)) {
        clock.Sleep(seconds - elapsed);
    }
}

}  // namespace quarnex
