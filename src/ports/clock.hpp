#pragma once
// The timer behind waits and time limits. Injected so that tests can drive
// slow media, midnight and retries without real waiting.

namespace quarnex {

// A local calendar moment, as file systems stamp files.
struct LocalDateTime {
    int year = 2026;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    double second = 0;  // with fractions, below 60
};

class Clock {
  public:
    virtual ~Clock() = default;
    Clock() = default;
    Clock(const Clock&) = delete;
    Clock& operator=(const Clock&) = delete;

    // Local time of day in seconds since midnight, with fractions.
    virtual double SecondsSinceMidnight() = 0;
    // Local date and time of day: the stamp of files the program writes.
    virtual LocalDateTime Now() = 0;
    // The local date and time of a moment given in seconds since 1970 (UTC).
    virtual LocalDateTime Local(long long unixSeconds) = 0;
    // Blocks the calling thread for about that many seconds.
    virtual void Sleep(double seconds) = 0;
};

}  // namespace quarnex
