#pragma once
// The one-line progress display the terminal tool redraws on stderr.

#include <cstdint>
#include <string>

namespace quarnex::cli {

// "Export of USB Disk(007) to store.img [#######.............]  37%  12.5 MB/s"
// The action is cut to fit; the speed is left out while unknown (0).
std::string ProgressLine(const std::string& action, int percent, double bytesPerSecond,
                         std::size_t width);

// "12.5 MB/s", "812 kB/s": decimal units, as transfer tools show them.
std::string FormatSpeed(double bytesPerSecond);

}  // namespace quarnex::cli
