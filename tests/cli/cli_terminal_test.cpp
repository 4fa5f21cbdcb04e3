// The progress line quarnex-cli draws on a terminal.

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "cli/console_ui.hpp"
#include "cli/progress_line.hpp"

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
    EXPECT_EQ(ProgressLine(std::string(100, 'a'), 50, 812e3, 60),
              std::string(19, 'a') + "... [##########..........]  50%  812 kB/s");  // 60 long

    EXPECT_EQ(FormatSpeed(999), "999 B/s");
    EXPECT_EQ(FormatSpeed(1.5e9), "1.5 GB/s");
    EXPECT_EQ(FormatSpeed(250e6), "250 MB/s");
}

struct QuietTerminal final : Terminal, InterruptWatch {
    bool IsTerminal(StandardStream) override { return true; }
    std::optional<std::size_t> Columns(StandardStream) override { return 80; }
    std::optional<std::string> ReadAnswerLine() override { return std::nullopt; }
    bool Poll() override { return false; }
    void Release() override {}
};

// The line ends on the events, whatever the action's words say.
TEST(ConsoleProgress, TheLineEndsOnFinishedFailedAndCancelledEvents) {
    const std::string line = "\rLoading Disk IDs Failed [##..................]  10%\x1b[K";
    const std::pair<std::function<void(Progress&)>, std::string> cases[] = {
        {[](Progress&) {}, line},
        {[](Progress& p) { p.Failed(); }, line + line + "\n"},
        {[](Progress& p) { p.Cancelled(); }, line + "\n"},
        {[](Progress& p) { p.Finished(); },
         line + "\rLoading Disk IDs Failed [####################] 100%\x1b[K\n"},
    };
    for (const auto& [event, expected] : cases) {
        ProgramState state;
        std::ostringstream err;
        QuietTerminal terminal;
        cli::ConsoleUi console(state, {.errorIsTerminal = true}, err, terminal, terminal);
        console.Started();
        console.Doing({.kind = ActivityKind::LoadDiskIdsFailed});
        console.UnitDone(1, 10);
        event(console);
        EXPECT_EQ(err.str(), expected);
    }
}

}  // namespace
}  // namespace quarnex::testing
