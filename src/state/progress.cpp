#include "state/progress.hpp"

#include <string>

#include "core/text.hpp"

namespace quarnex {

namespace {
constexpr double kSecondsPerDay = 86400.0;

// Entering and leaving the busy state both start with a clean cancel flag, so a
// Cancel chosen after one operation ended can never stop the next one.
void SetBusy(Context& ctx, bool busy) {
    ctx.state.CancelRequested = false;
    ctx.state.busy = busy;
    ctx.ui.Changed(WindowPart::Menus);
}
}  // namespace

void ShowProgress(Context& ctx, long done, long total) {
    StatusStrip& status = ctx.state.status;
    if (done >= 0) {
        const double percent = RoundHalfEven(static_cast<double>(done) / total * 100.0);
        status.progressBar = static_cast<int>(percent);
        if (percent >= 99.5) {
            status.progressLabel = "Progress      Finished";
        } else {
            status.progressLabel = "Progress        " + std::to_string(status.progressBar) + "%";
        }
        ctx.ui.Changed(WindowPart::ProgressBar);
        ctx.ui.Changed(WindowPart::ProgressLabel);
        ctx.ui.PumpEvents();
    } else if (total >= 0) {
        status.progressBar = 0;
        status.actionLabel.clear();
        status.progressLabel = "Progress";
        ctx.ui.Changed(WindowPart::ProgressBar);
        ctx.ui.Changed(WindowPart::ActionLabel);
        ctx.ui.Changed(WindowPart::ProgressLabel);
    } else {
        status.progressLabel = "Progress       Failed";
        ctx.ui.Changed(WindowPart::ProgressLabel);
    }
}

void BusyOn(Context& ctx) {
    SetBusy(ctx, true);
}

void BusyOff(Context& ctx) {
    SetBusy(ctx, false);
}

void CancelCommand(Context& ctx) {
    ctx.state.CancelRequested = true;
}

double ElapsedSince(Clock& clock, double start) {
    double elapsed = clock.SecondsSinceMidnight() - start;
    if (elapsed < 0) {
        elapsed += kSecondsPerDay;
    }
    return elapsed;
}

void WaitSeconds(Context& ctx, double seconds) {
    const double start = ctx.clock.SecondsSinceMidnight();
    for (double elapsed = 0; elapsed < seconds; elapsed = ElapsedSince(ctx.clock, start)) {
        ctx.clock.Sleep(seconds - elapsed);
    }
}

}  // namespace quarnex
