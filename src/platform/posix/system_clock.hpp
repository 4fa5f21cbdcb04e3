#pragma once

#include "ports/clock.hpp"

namespace quarnex {

// The machine's local time of day and a real sleep.
class SystemClock final : public Clock {
  public:
    double SecondsSinceMidnight() override;
    LocalDateTime Now() override;
    LocalDateTime Local(long long unixSeconds) override;
    void Sleep(double seconds) override;
};

}  // namespace quarnex
