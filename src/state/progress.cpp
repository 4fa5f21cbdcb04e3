#include "state/progress.hpp"

namespace quarnex {

namespace {
constexpr double kSecondsPerDay = 86400.0;
}  // namespace

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
