// The progress line the terminal tool draws: bar, percentage, speed, and an
// action cut to the terminal's width.

#include "cli/progress_line.hpp"

#include <gtest/gtest.h>

namespace quarnex::testing {
namespace {

using cli::FormatSpeed;
using cli::ProgressLine;

TEST(ProgressLine, ShowsBarPercentAndSpeedWithinTheWidth) {
    EXPECT_EQ(ProgressLine(" Export To USB Disk(007) ", 37, 12.54e6, 79),
              "Export To USB Disk(007) [#######.............]  37%  12.5 MB/s");
    // Unknown speed is left out; the bar never runs past its ends.
    EXPECT_EQ(ProgressLine("x", 140, 0, 79), "x [####################] 100%");
    EXPECT_EQ(ProgressLine("x", -5, 0, 79), "x [....................]   0%");
    // A long action is cut so that the line fits.
    const std::string cut = ProgressLine(std::string(100, 'a'), 50, 812e3, 60);
    EXPECT_EQ(cut.size(), 60u);
    EXPECT_EQ(cut.substr(0, 22), std::string(19, 'a') + "...");
    EXPECT_EQ(cut.substr(22), " [##########..........]  50%  812 kB/s");

    EXPECT_EQ(FormatSpeed(999), "999 B/s");
    EXPECT_EQ(FormatSpeed(1.5e9), "1.5 GB/s");
    EXPECT_EQ(FormatSpeed(250e6), "250 MB/s");
}

}  // namespace
}  // namespace quarnex::testing
