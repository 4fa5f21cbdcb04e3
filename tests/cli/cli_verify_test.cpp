// A store read back against its backup and fingerprinted, and writers that
// read back what they wrote unless told not to.

#include <gtest/gtest.h>

#include <tuple>

#include "cli/cli_runner.hpp"
#include "core/media_sizes.hpp"

namespace quarnex::testing {
namespace {

TEST(CliVerify, ListsTheSlotsThatDifferFromTheBackupAndHashesEachSlot) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    const std::string image = dir / "in.img";
    WriteFileBytes(image, PatternImage(3, "GAME3"));
    // Both with and without read-back the image lands whole.
    for (const char* readBack : {"--yes", "--no-verify"}) {
        RunOk({"put", store, "5", image, "--yes", readBack});
        EXPECT_EQ(SlotImage(store, 5), ReadFileBytes(image)) << readBack;
    }
    const std::string backup = dir / "backup.img";
    RunOk({"backup", store, backup});
    const std::string shortFile = dir / "short.img";
    WriteFileText(shortFile, "short");
    // Changes to the store after the backup: (offset, byte); expected run.
    // clang-format off
    const std::tuple<std::uint64_t, const char*, int, std::string> cases[] = {
        {0, nullptr, 0, store + " holds the same 1000 slots as " + backup + "\n"},
        {SlotOffset(7) + 20000, "X", 1, "slot 007 differs (first at byte 20,000)\n1 of 1000 slots of " + store + " differ from " + backup + "\n"},
        // A gap counts: the whole slot is compared, up to the last one.
        {SlotOffset(999) + kSlotStride - 1, "Y", 1, "slot 007 differs (first at byte 20,000)\nslot 999 differs (first at byte 1,572,863)\n2 of 1000 slots"},
    };
    // clang-format on
    for (const auto& [offset, byte, code, out] : cases) {
        if (byte != nullptr) {
            PutBytes(store, offset, byte);
        }
        ExpectRun({"verify", store, backup}, code, "", out);
    }
    ExpectRun({"verify", store, shortFile}, 1, "Not a 1000 Floppy Image File.");

    // Each slot's image fingerprint, as sha256sum gives it for the image put.
    const nlohmann::json listed =
        nlohmann::json::parse(RunOk({"list", store, "--json", "--hash"}).out);
    EXPECT_EQ(listed["slots"][4]["sha256"],
              "a429934ce6f5b7c82ca2433a1a11f0e15e6ee28ec69a1060048db5088a9981c3");
    EXPECT_NE(listed["slots"][5]["sha256"], listed["slots"][6]["sha256"]);
    EXPECT_FALSE(ListJson(store)["slots"][4].contains("sha256"));
}

}  // namespace
}  // namespace quarnex::testing
