// quarnex-cli on a terminal (questions asked, progress drawn), under Ctrl-C,
// and on a real block device.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "cli/cli_runner.hpp"
#include "cli/cli_test_store.hpp"
#include "core/media_sizes.hpp"
#include "support/loop_device.hpp"
#include "support/temp_dir.hpp"

namespace quarnex::testing {
namespace {

TEST(CliTerminal, QuestionsAreAskedAndProgressIsDrawn) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    const std::string image = dir / "in.img";
    WriteFileBytes(image, PatternImage(9, "TTY"));

    // Answered no: nothing written.
    const CliResult no = RunCli({"put", store, "2", image}, CliOptions{"n\n", false, true});
    EXPECT_EQ(no.exitCode, 1) << no.out;
    EXPECT_TRUE(Contains(no.out, "? Its image and description are replaced. [y/N] ")) << no.out;
    EXPECT_NE(SlotImage(store, 2), ReadFileBytes(image));

    // Answered yes: written, with a progress line on the terminal.
    const CliResult yes = RunCli({"put", store, "2", image}, CliOptions{"y\n", false, true});
    EXPECT_EQ(yes.exitCode, 0) << yes.out;
    EXPECT_EQ(SlotImage(store, 2), ReadFileBytes(image));
    EXPECT_TRUE(Contains(yes.out, "Export To USB Disk(002) [")) << yes.out;
    EXPECT_TRUE(Contains(yes.out, "] 100%")) << yes.out;

    // A whole-store copy shows its speed.
    const CliResult backup = RunCli({"backup", store, dir / "b.img"}, CliOptions{"", false, true});
    EXPECT_EQ(backup.exitCode, 0) << backup.out;
    EXPECT_TRUE(Contains(backup.out, "B/s")) << backup.out;

    // Without a terminal the same command prints results only.
    const CliResult quiet = RunCli({"get", store, "2", dir / "out.img"});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_TRUE(quiet.err.empty()) << quiet.err;
    EXPECT_EQ(quiet.out, "slot 002 -> " + dir / "out.img" + "\n");
}

TEST(CliTerminal, CtrlCCancelsABackup) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    const std::string backup = dir / "b.img";
    CliProcess run({"backup", store, backup});
    // Wait until the copy is under way: the file exists and grows.
    for (int i = 0; i < 200 && FileSizeOrZero(backup) < 10 * kSlotStride; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    run.Interrupt();
    const CliResult result = run.Wait();
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_TRUE(Contains(result.err, "quarnex-cli: cancelling")) << result.err;
    EXPECT_TRUE(Contains(result.err, "quarnex-cli: cancelled")) << result.err;
    // The user is told what was left behind, and restore refuses it.
    EXPECT_TRUE(Contains(result.err,
                         "quarnex-cli: " + backup + " is incomplete and is refused by restore; " +
                             dir / "b.txt" + " was written (stopped at: Export of USB Disk("))
        << result.err;
    const std::vector<unsigned char> slot0 = SlotImage(store, 0);
    EXPECT_EQ(RunCli({"restore", backup, store, "--yes"}).exitCode, 1);
    EXPECT_EQ(SlotImage(store, 0), slot0);
}

TEST(CliLoopDevice, ListPutGetAndDescribeOnABlockDevice) {
    TempDir dir;
    const std::string backing = CopyOfMasterStore(dir, "backing.img");
    LoopDevice loop(backing);
    if (!loop.Attached()) {
        GTEST_SKIP() << loop.Problem();
    }
    EXPECT_EQ(ListJson(loop.Path())["slots"][41]["id"], "FDISK042   ");

    const std::string image = dir / "in.img";
    WriteFileBytes(image, PatternImage(42, "LOOPED"));
    const CliResult put = RunCli({"put", loop.Path(), "42", image, "--yes"});
    ASSERT_EQ(put.exitCode, 0) << put.err;
    const CliResult get = RunCli({"get", loop.Path(), "42", dir / "out.img"});
    ASSERT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(ReadFileBytes(dir / "out.img"), ReadFileBytes(image));
    ASSERT_EQ(RunCli({"describe", loop.Path(), "42", "on loop", "--yes"}).exitCode, 0);

    // What reached the device is in the backing file.
    EXPECT_EQ(SlotImage(backing, 42), ReadFileBytes(image));
    const nlohmann::json slot = ListJson(backing)["slots"][41];
    EXPECT_EQ(slot["id"], "LOOPED     ");
    EXPECT_EQ(slot["description"], "on loop");
}

}  // namespace
}  // namespace quarnex::testing
