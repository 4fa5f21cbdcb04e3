// quarnex-cli on a terminal (questions asked, the progress line drawn), under Ctrl-C,
// on a real block device, and run by an ordinary user on a stick a stand-in
// udisks2 service hands over.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>

#include "cli/cli_runner.hpp"
#include "cli/console_ui.hpp"
#include "cli/progress_line.hpp"
#include "core/media_sizes.hpp"
#include "support/loop_device.hpp"
#include "support/temp_dir.hpp"
#include "support/udisks_standin.hpp"

namespace quarnex::testing {
namespace {

TEST(CliTerminal, QuestionsAreAskedAndProgressIsDrawn) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    const std::string image = dir / "in.img";
    WriteFileBytes(image, PatternImage(9, "TTY"));

    // Answered no: nothing written.
    ExpectRun({"put", store, "2", image}, 1, "", "? Its image and description are replaced. [y/N] ",
              {"n\n", false, true});
    EXPECT_NE(SlotImage(store, 2), ReadFileBytes(image));

    // Answered yes: written, with a progress line on the terminal.
    ExpectRun({"put", store, "2", image}, 0, "", "Export To USB Disk(002) [|] 100%",
              {"y\n", false, true});
    EXPECT_EQ(SlotImage(store, 2), ReadFileBytes(image));
    // A whole-store copy shows its speed.
    ExpectRun({"backup", store, dir / "b.img"}, 0, "", "B/s", kOnTerminal);

    // Without a terminal the same command prints results only.
    const CliResult quiet = RunCli({"get", store, "2", dir / "out.img"});
    EXPECT_EQ(std::tuple(quiet.exitCode, quiet.out, quiet.err),
              std::tuple(0, "slot 002 -> " + dir / "out.img" + "\n", ""));
}

TEST(CliTerminal, CtrlCCancelsABackup) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    const std::string backup = dir / "b.img";
    WriteFileText(backup, "the previous backup");
    WriteFileText(dir / "b.txt", "its descriptions");
    CliProcess run({"backup", store, backup, "--yes"});
    // Wait until the copy is under way: its new file beside the old grows.
    const auto newFileBytes = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            if (entry.path().string().ends_with(".quarnex-part")) {
                return FileSizeOrZero(entry.path().string());
            }
        }
        return std::uint64_t{0};
    };
    for (int i = 0; i < 200 && newFileBytes() < 10 * kSlotStride; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    run.Interrupt();
    const CliResult result = run.Wait();
    EXPECT_EQ(result.exitCode, 1);
    // The previous backup is kept whole, and the user is told so.
    ExpectParts(result.err, "quarnex-cli: cancelling (|quarnex-cli: cancelled\n|quarnex-cli: " +
                                backup + " and " + dir / "b.txt" +
                                " are as they were before (stopped at: Export of USB");
    EXPECT_EQ(ReadFileText(backup), "the previous backup");
    EXPECT_EQ(ReadFileText(dir / "b.txt"), "its descriptions");
    EXPECT_EQ(newFileBytes(), 0u) << "the unfinished copy is removed";
}

// A device too small for a store is refused; one that holds a store is
// listed and described, and found by a scan with --all.
TEST(CliLoopDevice, ListDescribeAndScanABlockDevice) {
    TempDir dir;
    MakeSparseFile(dir / "small.img", 64ULL * 1024 * 1024);
    const std::string backing = CopyOfMasterStore(dir, "backing.img");
    LoopDevice small(dir / "small.img");
    LoopDevice loop(backing);
    if (!small.Attached() || !loop.Attached()) {
        GTEST_SKIP() << small.Problem() << loop.Problem();
    }
    const CliResult tooSmall = RunCli({"list", small.Path()});
    EXPECT_EQ(std::tuple(tooSmall.exitCode, tooSmall.out, tooSmall.err),
              std::tuple(1, "",
                         "quarnex-cli: Device Too Small\n  " + small.Path() +
                             " holds 67,108,864 bytes;\n  a store needs 1,572,864,000.\n"));
    EXPECT_EQ(ListJson(loop.Path())["slots"][41]["id"], "FDISK042   ");
    // What reaches the device is in the backing file.
    RunOk({"describe", loop.Path(), "42", "on loop", "--yes"});
    EXPECT_EQ(ListJson(backing)["slots"][41]["description"], "on loop");

    // A scan finds the store on the loop device with --all only; finding
    // nothing, it says so and how to look at loop devices.
    const CliResult scan = RunCli({"scan"});
    ExpectParts(RunCli({"scan", "--all"}).out,
                loop.Path().substr(5) + "\t" + loop.Path() + "\tMYSTICK\n");
    EXPECT_FALSE(Contains(scan.out, loop.Path()));
    if (scan.out.empty()) {
        EXPECT_EQ(scan.err,
                  "quarnex-cli: No stores found.\nquarnex-cli: Loop devices (a store image "
                  "attached with losetup) are looked at with --all.\n");
    }
}

// Found by the scan (system and ignored disks are not), written, described,
// listed and powered off; a stick whose opening polkit refuses stays untouched.
TEST(CliUdisks, AnOrdinaryUserWorksOnAStickThroughTheService) {
    if (const std::string missing = UdisksStandIn::Missing(); !missing.empty()) {
        GTEST_SKIP() << "no stand-in udisks2 service: " << missing;
    }
    TempDir dir;
    ::chmod(dir.Path().c_str(), 0755);
    const std::string stick = CopyOfMasterStore(dir, "stick.img");
    const std::string refused = CopyOfMasterStore(dir, "refused.img");
    const std::string image = dir / "seven.img";
    WriteFileBytes(image, PatternImage(7, "GAME7"));
    ::mkdir((dir / "mnt").c_str(), 0777);
    ::chmod((dir / "mnt").c_str(), 0777);
    UdisksStandIn service({{"sdq", stick, "", dir / "mnt"},
                           {"sdr", refused, "refuse", ""},
                           {"sdx", CopyOfMasterStore(dir, "system.img"), "system", ""},
                           {"sdy", CopyOfMasterStore(dir, "ignored.img"), "ignore", ""}});

    const std::string refusal = "Access to the device was not authorised (udisks2, polkit)";
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string out;
        std::string err;
    } steps[] = {
        {{"scan"}, 0, "sdq\t/dev/sdq\tMYSTICK\n", refusal},
        {{"put", "/dev/sdq", "7", image, "--yes"}, 0, image + " -> slot 007 [GAME7]\n", ""},
        {{"describe", "/dev/sdq", "7", "Lathe programs", "--yes"}, 0, "slot 007 described\n", ""},
        {{"put", "/dev/sdr", "7", image, "--yes"}, 1, "", refusal},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(ExpectRun(step.args, step.exitCode, step.err, "", kAsNobody).out, step.out);
    }
    const CliResult listed = RunOk({"list", "/dev/sdq", "--json"}, kAsNobody);
    const nlohmann::json slot = nlohmann::json::parse(listed.out)["slots"][6];
    EXPECT_EQ(slot["id"].get<std::string>() + "|" + slot["description"].get<std::string>(),
              "GAME7      |Lathe programs");
    EXPECT_EQ(SlotImage(stick, 7), PatternImage(7, "GAME7"));
    EXPECT_EQ(SlotImage(refused, 7), SlotImage(MasterStore(), 7));
    // Last: a stick powered off is gone from the service.
    EXPECT_EQ(RunOk({"eject", "/dev/sdq"}, kAsNobody).out,
              "/dev/sdq is powered off and can be unplugged\n");

    const std::vector<std::string> calls = service.Calls();
    for (const std::string call : {"OpenDevice /org/freedesktop/UDisks2/block_devices/sdq w",
                                   "Unmount /org/freedesktop/UDisks2/block_devices/sdq",
                                   "PowerOff /org/freedesktop/UDisks2/drives/sdq"}) {
        EXPECT_NE(std::find(calls.begin(), calls.end(), call), calls.end()) << call;
    }
}

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
