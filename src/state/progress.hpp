#pragma once
// Busy state, cancellation and waiting: the frame every long
// operation runs in.

#include "ports/clock.hpp"
#include "ports/progress.hpp"

namespace quarnex {

// Made where an operation starts; Enter() once it is under way. Every way out
// of the operation ends it, entered or not, so no return can leave the
// window busy or a cancel pending for the next operation.
class BusyGuard {
  public:
    explicit BusyGuard(Progress& progress) : progress_(progress) {}
    ~BusyGuard() { progress_.Over(); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

    void Enter() { progress_.UnderWay(); }

  private:
    Progress& progress_;
};

// Blocks for the given number of seconds, across midnight too. It sleeps
// rather than spins; window events do not run meanwhile.
void WaitSeconds(Clock& clock, double seconds);

// Seconds since start on the clock, midnight-safe.
double ElapsedSince(Clock& clock, double start);

}  // namespace quarnex
