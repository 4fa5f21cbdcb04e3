// put with several files, --free and --dry-run: the slots and DISKS.TXT after
// one run, and refusals before anything is written.
#include <gtest/gtest.h>

#include <cerrno>

#include "cli_runner.hpp"
#include "core/media_sizes.hpp"
#include "system_backend.hpp"

namespace quarnex::testing {
namespace {

TEST(CliPutMany, FilesFillSlotsFromOneOrFreeSlotsInOneRun) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    std::vector<std::string> in;
    for (unsigned i = 1; i <= 4; ++i) {
        in.push_back(dir / ("in" + std::to_string(i) + ".img"));
        WriteFileBytes(in.back(), PatternImage(i, "IMG" + std::to_string(i)));
    }
    WriteFileBytes(dir / "short.img", std::vector<unsigned char>(kImageBytes - 1, 1));
    // Slots 0..5, and 998 to the end.
    const auto watched = [&store] {
        return std::pair(ReadFileBytes(store, 0, SlotOffset(6)),
                         ReadFileBytes(store, SlotOffset(998)));
    };
    const auto before = watched();
    const auto slot1 = SlotImage(store, 1);
    const auto slot5 = SlotImage(store, 5);
    // Refused before anything is written (exit 1).
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused{
        {{"put", store, "998", in[0], in[1], in[2], "--yes"},
         "3 files from slot 998 on would reach past slot 999; refused, nothing was written"},
        {{"put", store, "1", in[0], dir / "short.img", "--yes"},
         dir / "short.img" + " is not a 1.44 MB floppy image file: it holds 1,474,559 bytes"},
        {{"put", store, "1", in[0], dir / "none.img", "--yes"},
         "cannot read " + dir / "none.img" + ": " + SystemDeviceBackend().ErrorText(ENOENT) +
             "; nothing was written"},
        {{"put", store, "1", in[0], in[1]},
         "write 2 files into slots 001..002 of " + store +
             "? Their images and descriptions are replaced."},
    };
    for (const auto& [args, message] : refused) {
        ExpectRun(args, 1, message);
    }
    EXPECT_EQ(watched(), before);

    EXPECT_EQ(RunOk({"put", store, "3", in[0], in[1], "--yes"}).out,
              in[0] + " -> slot 003 [IMG1]\n" + in[1] + " -> slot 004 [IMG2]\n");
    RunOk({"describe", store, "2", "taken", "--yes"});
    // Free: slot 1, then 5 and on (2 has a description, 3 and 4 images).
    const std::string plan =
        in[2] + " -> slot 001 [FDISK001]\n" + in[3] + " -> slot 005 [FDISK005]\n";
    EXPECT_EQ(RunOk({"put", store, "--free", in[2], in[3], "--dry-run"}).out, plan);
    EXPECT_EQ(RunOk({"put", store, "4", in[2], "--dry-run"}).out,
              in[2] + " -> slot 004 [IMG2] (replaces what it holds)\n");
    EXPECT_EQ(std::tuple(SlotImage(store, 1), SlotImage(store, 4), SlotImage(store, 5)),
              std::tuple(slot1, ReadFileBytes(in[1]), slot5));
    RunOk({"put", store, "--free", in[2], in[3], "--yes"});
    for (const auto& [slot, file] : {std::pair{1, 2}, {3, 0}, {4, 1}, {5, 3}}) {
        EXPECT_EQ(SlotImage(store, slot), ReadFileBytes(in[file])) << slot;
    }
    const nlohmann::json listed = ListJson(store);
    for (const auto& [slot, source] :
         {std::pair{1, in[2]}, {3, in[0]}, {4, in[1]}, {5, in[3]}, {2, std::string()}}) {
        EXPECT_EQ(listed["slots"][slot - 1]["source"], source) << slot;
    }
}

}  // namespace
}  // namespace quarnex::testing
