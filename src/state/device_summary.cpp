#include "state/device_summary.hpp"

#include <array>
#include <cstdio>

namespace quarnex {

namespace {

// Three significant digits.
std::string ThreeSignificant(double value) {
    const int decimals = value < 10.0 ? 2 : (value < 100.0 ? 1 : 0);
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
    return text.data();
}

}  // namespace

std::string FormatDeviceSize(std::uint64_t bytes) {
    if (bytes == 0) {
        return {};
    }
    if (bytes < 1000) {
        return std::to_string(bytes) + " bytes";
    }
    static constexpr std::array<const char*, 6> kUnits{"KB", "MB", "GB", "TB", "PB", "EB"};
    double value = static_cast<double>(bytes) / 1000.0;
    std::size_t unit = 0;
    while (value >= 1000.0 && unit + 1 < kUnits.size()) {
        value /= 1000.0;
        ++unit;
    }
    std::string text = ThreeSignificant(value);
    // 999.7 MB would round to "1000 MB": say "1.00 GB" instead.
    if (text == "1000" && unit + 1 < kUnits.size()) {
        text = ThreeSignificant(value / 1000.0);
        ++unit;
    }
    return text + " " + kUnits[unit];
}

std::string DescribeDevice(const DeviceEntry& entry) {
    std::string text = entry.name;
    for (const std::string& part : {entry.vendorModel, FormatDeviceSize(entry.sizeBytes)}) {
        if (!part.empty()) {
            text += (text.empty() ? "" : "  ") + part;
        }
    }
    return text;
}

}  // namespace quarnex
