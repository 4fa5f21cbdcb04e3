#include "cli/progress_line.hpp"

#include <algorithm>
#include <array>
#include <cstdio>

#include "core/text.hpp"

namespace quarnex::cli {

namespace {
constexpr std::size_t kBarCells = 20;
}

std::string FormatSpeed(double bytesPerSecond) {
    constexpr std::array<const char*, 4> kUnits{"B/s", "kB/s", "MB/s", "GB/s"};
    std::size_t unit = 0;
    while (bytesPerSecond >= 1000.0 && unit + 1 < kUnits.size()) {
        bytesPerSecond /= 1000.0;
        ++unit;
    }
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(),
                  bytesPerSecond < 100.0 && unit > 0 ? "%.1f %s" : "%.0f %s", bytesPerSecond,
                  kUnits[unit]);
    return text.data();
}

std::string ProgressLine(const std::string& action, int percent, double bytesPerSecond,
                         std::size_t width) {
    percent = std::clamp(percent, 0, 100);
    const std::size_t filled = static_cast<std::size_t>(percent) * kBarCells / 100;
    std::string tail =
        " [" + std::string(filled, '#') + std::string(kBarCells - filled, '.') + "] ";
    std::array<char, 8> number{};
    std::snprintf(number.data(), number.size(), "%3d%%", percent);
    tail += number.data();
    if (bytesPerSecond > 0) {
        tail += "  " + FormatSpeed(bytesPerSecond);
    }
    std::string head = TrimSpaces(action);
    const std::size_t room = width > tail.size() ? width - tail.size() : 0;
    if (head.size() > room) {
        head = room > 3 ? head.substr(0, room - 3) + "..." : std::string();
    }
    return head + tail;
}

}  // namespace quarnex::cli
