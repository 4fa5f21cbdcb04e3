#pragma once
// The timer behind waits and time limits. Injected so that tests can drive
// slow media, midnight and retries without real waiting.

namespace quarnex {

class Clock {
  public:
    virtual ~Clock() = default;
    Clock() = default;
    Clock(const Clock&) = delete;
    Clock& operator=(const Clock&) = delete;

    // Local time of day in seconds since midnight, with fractions.
    virtual double SecondsSinceMidnight() = 0;
    // Blocks the calling thread for about that many seconds.
    virtual void Sleep(double seconds) = 0;
};

}  // namespace quarnex
