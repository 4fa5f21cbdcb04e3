// put with several files, --free and --dry-run: the slots and DISKS.TXT after
// one run, and refusals before anything is written.
#include <gtest/gtest.h>

#include "cli_runner.hpp"
#include "core/media_sizes.hpp"

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
    const auto slots = [&store](std::vector<int> numbers) {
        std::vector<std::vector<unsigned char>> images;
        for (const int n : numbers) {
            images.push_back(SlotImage(store, n));
        }
        return images;
    };
    const std::vector<int> watched{1, 2, 3, 4, 5, 998, 999};
    const auto before = slots(watched);
    const std::vector<std::tuple<std::vector<std::string>, int, std::string>> refused{
        {{"put", store, "998", in[0], in[1], in[2], "--yes"},
         1,
         "3 files from slot 998 on would reach past slot 999; refused, nothing was written"},
        {{"put", store, "1", in[0], dir / "short.img", "--yes"},
         1,
         dir / "short.img" + " is not a 1.44 MB floppy image file: it holds 1,474,559 bytes"},
        {{"put", store, "1", in[0], dir / "none.img", "--yes"},
         1,
         "cannot read " + dir / "none.img" + ": No such file or directory; nothing was written"},
        {{"put", store, "1", in[0], in[1]},
         1,
         "write 2 files into slots 001..002 of " + store +
             "? Their images and descriptions are replaced."},
        {{"put", store, "0", in[0], in[1]}, 2, "SLOT: '0' is not a slot number"},
    };
    for (const auto& [args, code, message] : refused) {
        ExpectRun(args, code, message);
    }
    EXPECT_EQ(slots(watched), before);

    EXPECT_EQ(RunOk({"put", store, "3", in[0], in[1], "--yes"}).out,
              in[0] + " -> slot 003 [IMG1]\n" + in[1] + " -> slot 004 [IMG2]\n");
    RunOk({"describe", store, "2", "taken", "--yes"});
    // Free: slot 1, then 5 and on (2 has a description, 3 and 4 images).
    const std::string plan =
        in[2] + " -> slot 001 [FDISK001]\n" + in[3] + " -> slot 005 [FDISK005]\n";
    EXPECT_EQ(RunOk({"put", store, "--free", in[2], in[3], "--dry-run"}).out, plan);
    EXPECT_EQ(RunOk({"put", store, "4", in[2], "--dry-run"}).out,
              in[2] + " -> slot 004 [IMG2] (replaces what it holds)\n");
    EXPECT_EQ(slots({1, 4, 5}), std::vector({before[0], ReadFileBytes(in[1]), before[4]}));
    RunOk({"put", store, "--free", in[2], in[3], "--yes"});
    EXPECT_EQ(slots({1, 3, 4, 5}), std::vector({ReadFileBytes(in[2]), ReadFileBytes(in[0]),
                                                ReadFileBytes(in[1]), ReadFileBytes(in[3])}));
    const nlohmann::json listed = ListJson(store);
    for (const auto& [slot, source] :
         {std::pair{1, in[2]}, {3, in[0]}, {4, in[1]}, {5, in[3]}, {2, std::string()}}) {
        EXPECT_EQ(listed["slots"][slot - 1]["source"], source) << slot;
    }
}

}  // namespace
}  // namespace quarnex::testing
