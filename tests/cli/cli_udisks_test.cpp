// quarnex-cli run by an ordinary user on a stick that a stand-in udisks2
// service hands over: found by the scan (system and ignored disks are not),
// written, described, listed and safely removed; a stick whose opening polkit
// refuses stays untouched.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "cli/cli_runner.hpp"
#include "cli/cli_test_store.hpp"
#include "support/udisks_standin.hpp"

namespace quarnex::testing {
namespace {

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
