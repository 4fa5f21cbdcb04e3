#include "platform/posix/system_clock.hpp"

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace quarnex {

double SystemClock::SecondsSinceMidnight() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + now.tv_nsec / 1e9;
}

LocalDateTime SystemClock::Now() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     std::min(local.tm_sec, 59) + now.tv_nsec / 1e9};
}

LocalDateTime SystemClock::Local(long long unixSeconds) {
    const auto seconds = static_cast<time_t>(unixSeconds);
    tm local{};
    localtime_r(&seconds, &local);
    return {local.tm_year + 1900, local.tm_mon + 1,
            local.tm_mday,        local.tm_hour,
            local.tm_min,         static_cast<double>(std::min(local.tm_sec, 59))};
}

void SystemClock::Sleep(double seconds) {
    if (seconds <= 0) {
        return;
    }
    timespec request{};
    request.tv_sec = static_cast<time_t>(seconds);
    request.tv_nsec = static_cast<long>((seconds - static_cast<double>(request.tv_sec)) * 1e9);
    while (nanosleep(&request, &request) != 0 && errno == EINTR) {
    }
}

}  // namespace quarnex
