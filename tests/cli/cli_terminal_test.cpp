// quarnex-cli on a terminal (questions asked, progress drawn), under Ctrl-C,
// on a real block device, and run by an ordinary user on a stick a stand-in
// udisks2 service hands over.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <tuple>

#include "cli/cli_runner.hpp"
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
    const CliResult no = RunCli({"put", store, "2", image}, CliOptions{"n\n", false, true});
    EXPECT_TRUE(no.exitCode == 1 &&
                Contains(no.out, "? Its image and description are replaced. [y/N] "))
        << no.out;
    EXPECT_NE(SlotImage(store, 2), ReadFileBytes(image));

    // Answered yes: written, with a progress line on the terminal.
    const CliResult yes = RunCli({"put", store, "2", image}, CliOptions{"y\n", false, true});
    EXPECT_EQ(SlotImage(store, 2), ReadFileBytes(image));
    EXPECT_TRUE(yes.exitCode == 0 && Contains(yes.out, "Export To USB Disk(002) [") &&
                Contains(yes.out, "] 100%"))
        << yes.out;
    // A whole-store copy shows its speed.
    const CliResult backup = RunCli({"backup", store, dir / "b.img"}, CliOptions{"", false, true});
    EXPECT_TRUE(backup.exitCode == 0 && Contains(backup.out, "B/s")) << backup.out;

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
    EXPECT_EQ(result.exitCode, 1) << result.err;
    // The previous backup is kept whole, and the user is told so.
    EXPECT_TRUE(Contains(result.err, "quarnex-cli: cancelling (") &&
                Contains(result.err, "quarnex-cli: cancelled\n") &&
                Contains(result.err, "quarnex-cli: " + backup + " and " + dir / "b.txt" +
                                         " are as they were before (stopped at: Export of USB"))
        << result.err;
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
    const CliResult all = RunCli({"scan", "--all"});
    EXPECT_TRUE(Contains(all.out, loop.Path().substr(5) + "\t" + loop.Path() + "\tMYSTICK\n"))
        << all.out << all.err;
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
        const CliResult run = RunCli(step.args, CliOptions{"", true, false});
        EXPECT_EQ(run.exitCode, step.exitCode) << step.args[0] << ": " << run.err;
        EXPECT_EQ(run.out, step.out) << step.args[0];
        EXPECT_TRUE(Contains(run.err, step.err)) << step.args[0] << ": " << run.err;
    }
    const CliResult listed = RunCli({"list", "/dev/sdq", "--json"}, CliOptions{"", true, false});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    const nlohmann::json slot = nlohmann::json::parse(listed.out)["slots"][6];
    EXPECT_EQ(slot["id"].get<std::string>() + "|" + slot["description"].get<std::string>(),
              "GAME7      |Lathe programs");
    EXPECT_EQ(SlotImage(stick, 7), PatternImage(7, "GAME7"));
    EXPECT_EQ(SlotImage(refused, 7), SlotImage(MasterStore(), 7));
    // Last: a stick powered off is gone from the service.
    const CliResult ejected = RunCli({"eject", "/dev/sdq"}, CliOptions{"", true, false});
    EXPECT_EQ(ejected.out, "/dev/sdq is powered off and can be unplugged\n") << ejected.err;

    const std::vector<std::string> calls = service.Calls();
    for (const std::string call : {"OpenDevice /org/freedesktop/UDisks2/block_devices/sdq w",
                                   "Unmount /org/freedesktop/UDisks2/block_devices/sdq",
                                   "PowerOff /org/freedesktop/UDisks2/drives/sdq"}) {
        EXPECT_NE(std::find(calls.begin(), calls.end(), call), calls.end()) << call;
    }
}

}  // namespace
}  // namespace quarnex::testing
