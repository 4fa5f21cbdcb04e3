#pragma once
// A clock that only moves when told to: Sleep advances it, and tests can add
// time (for example inside a transfer callback to make a medium slow).

#include <vector>

#include "ports/clock.hpp"

namespace quarnex::testing {

class FakeClock final : public Clock {
  public:
    explicit FakeClock(double start = 12 * 3600.0) : now_(start) {}

    double SecondsSinceMidnight() override { return now_; }
    // 14 March 2026 at the time of day the clock shows.
    LocalDateTime Now() override {
        const int whole = static_cast<int>(now_);
        return {2026, 3, 14, whole / 3600, whole / 60 % 60, now_ - whole / 60 * 60};
    }
    // Files' times are not faked: every one is now.
    LocalDateTime Local(long long) override { return Now(); }
    void Sleep(double seconds) override {
        sleeps.push_back(seconds);
        Advance(seconds);
    }

    // Moves time on, wrapping at midnight like a wall clock.
    void Advance(double seconds) {
        now_ += seconds;
        while (now_ >= 86400.0) {
            now_ -= 86400.0;
        }
    }
    void Set(double secondsSinceMidnight) { now_ = secondsSinceMidnight; }

    std::vector<double> sleeps;

  private:
    double now_;
};

}  // namespace quarnex::testing
