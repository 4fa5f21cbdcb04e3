// Several quarnex-cli processes on one store: writers take turns, none is
// lost, and one that finds the store held says so and waits.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>

#include "cli/cli_runner.hpp"
#include "cli/cli_test_store.hpp"

namespace quarnex::testing {
namespace {

TEST(CliLocks, ParallelWritersAreAllKeptAndAWriterWaitsForTheHolder) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    {
        const int held = ::open(store.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(::flock(held, LOCK_SH), 0) << "a reader holds the store";
        CliProcess waiting({"describe", store, "400", "after the wait", "--yes"});
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        ::close(held);
        const CliResult run = waiting.Wait();
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(
            Contains(run.err, "waiting for another program that is reading or writing " + store))
            << run.err;
    }
    std::vector<std::unique_ptr<CliProcess>> runs;
    for (int slot = 1; slot <= 12; ++slot) {
        runs.push_back(std::make_unique<CliProcess>(std::vector<std::string>{
            "describe", store, std::to_string(slot), "text " + std::to_string(slot), "--yes"}));
    }
    for (const auto& run : runs) {
        EXPECT_EQ(run->Wait().exitCode, 0);
    }
    const nlohmann::json listed = ListJson(store);
    for (int slot = 1; slot <= 12; ++slot) {
        EXPECT_EQ(listed["slots"][slot - 1]["description"], "text " + std::to_string(slot));
    }
    EXPECT_EQ(listed["slots"][399]["description"], "after the wait");
    const std::vector<unsigned char> slot0 = SlotImage(store, 0);
    WriteFileBytes(dir / "slot0.img", slot0);
    EXPECT_EQ(RunCommand("fsck.fat -n '" + dir / "slot0.img" + "'"), 0);
}

}  // namespace
}  // namespace quarnex::testing
