#pragma once
// Progress display, busy state, cancellation and waiting: the frame every long
// operation runs in.

#include "state/context.hpp"

namespace quarnex {

// done >= 0: shows done/total as a percentage and lets pending window events
// run; done < 0 and total >= 0: resets the display; both negative: shows
// that the operation failed.
void ShowProgress(Context& ctx, long done, long total);

// Enter and leave the busy state: clear CancelRequested and tell the window,
// which shows or hides the Cancel command; while busy, commands that would
// start another long operation are disabled.
void BusyOn(Context& ctx);
void BusyOff(Context& ctx);

// The Cancel command: only raises the flag the running operation polls.
void CancelCommand(Context& ctx);

// Blocks for the given number of seconds, across midnight too. It sleeps
// rather than spins; window events do not run meanwhile.
void WaitSeconds(Context& ctx, double seconds);

// Seconds since start on the clock, midnight-safe.
double ElapsedSince(Clock& clock, double start);

}  // namespace quarnex
