#pragma once
// Busy state, cancellation and waiting: the frame every long
// operation runs in.

#include "state/context.hpp"

namespace quarnex {

// Entering and leaving the busy state clear cancelRequested and tell the
// window, which shows or hides the Cancel command; while busy, commands that
// would start another long operation are disabled.
void LeaveBusyState(Context& ctx);

// Made where an operation starts; Enter() once it is under way. Every way out
// of the operation leaves the busy state, entered or not, so no return can
// leave the window busy or a cancel pending for the next operation.
class BusyGuard {
  public:
    explicit BusyGuard(Context& ctx) : ctx_(ctx) {}
    ~BusyGuard() { LeaveBusyState(ctx_); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

    void Enter();

  private:
    Context& ctx_;
};

// The Cancel command: only raises the flag the running operation polls.
void CancelCommand(Context& ctx);

// Blocks for the given number of seconds, across midnight too. It sleeps
// rather than spins; window events do not run meanwhile.
void WaitSeconds(Clock& clock, double seconds);

// Seconds since start on the clock, midnight-safe.
double ElapsedSince(Clock& clock, double start);

}  // namespace quarnex
