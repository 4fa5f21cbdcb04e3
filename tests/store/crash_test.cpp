#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <utility>

#include "fat12/geometry.hpp"
#include "store/descriptions.hpp"
#include "store/descriptions_file.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

using testing::FaultOp;
using testing::SetGridIds;
using testing::StoreWorld;

bool SaveWithRow5(StoreWorld& w, int length) {
    w.state.slotTable.SetCell(5, 2, std::string(static_cast<std::size_t>(length), 'd'));
    return sbrSaveDescriptions(w.ctx, "sdb/DISKS.TXT");
}

// A store without DISKS.TXT (row5 < 0), or with one whose slot 5 has a
// description of row5 characters.
void Prepare(StoreWorld& w, int row5) {
    SetGridIds(w.state, "FDISK", true);
    if (row5 >= 0) {
        ASSERT_TRUE(LoadDescriptions(w.ctx));
        ASSERT_TRUE(SaveWithRow5(w, row5));
    }
}

// Creates DISKS.TXT (row5 < 0), or describes slot 5 with row5 characters.
bool CreateOrDescribe(StoreWorld& w, int row5) {
    return row5 < 0 ? LoadDescriptions(w.ctx) : SaveWithRow5(w, row5);
}

// DISKS.TXT as the program itself reads it back.
std::string ReadBack(StoreWorld& w) {
    const FileText file = ReadStoreFile(w.ctx, "DISKS.TXT");
    return file.error ? "<" + file.error->description + ">" : file.present ? file.text : "<none>";
}

// What a stop between writes may leave: nothing for fsck.fat -n to report
// (exit 0), or exit 1 with only "Reclaimed ... unused cluster(s)" besides
// its banner and summary. A free cluster in a chain, differing FATs or a
// wrong size all print other lines and fail. Empty when acceptable.
std::string FsckReportBeyondLostClusters(const StoreWorld& w) {
    const std::string image = w.dir / "slot0.img";
    testing::WriteFileBytes(image, w.Read(0, fat12::kVolumeBytes));
    std::string output;
    const int status = testing::RunCommand("fsck.fat -n " + image, &output);
    static const std::regex harmless(
        R"(fsck\.fat \d.*|Reclaimed \d+ unused clusters? \(\d+ bytes\)( in \d+ chains?)?\.|)"
        R"(Leaving filesystem unchanged\.|.*: \d+ files?, \d+/\d+ clusters|)");
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (!std::regex_match(line, harmless)) {
            return output;
        }
    }
    return status == 0 || status == 1 ? "" : output;
}

TEST(CrashSafety, AStopAtAnyWriteLeavesTheOldOrTheNewFileAndAtWorstLostClusters) {
    const bool fsck = testing::HaveTool("fsck.fat");
    if (!fsck) {
        std::printf("fsck.fat not installed; volumes not checked by it\n");
    }
    // Creation, a longer text replacing a shorter one, and the reverse.
    for (const auto& [from, to] : {std::pair{-1, -1}, {0, 3000}, {3000, 10}}) {
        StoreWorld whole;
        Prepare(whole, from);
        const std::string before = ReadBack(whole);
        const int prepared = whole.devices.Count(FaultOp::Write, "usbstore");
        ASSERT_TRUE(CreateOrDescribe(whole, to));
        const int writes = whole.devices.Count(FaultOp::Write, "usbstore") - prepared;
        const std::string after = ReadBack(whole);
        ASSERT_NE(after, before);
        for (int k = 1; k <= writes; ++k) {
            SCOPED_TRACE(std::to_string(from) + " -> " + std::to_string(to) + ", stop at write " +
                         std::to_string(k) + " of " + std::to_string(writes));
            StoreWorld w;
            Prepare(w, from);
            w.devices.StopAtWrite(w.devices.Count(FaultOp::Write, "usbstore") + k, "usbstore");
            EXPECT_TRUE(CreateOrDescribe(w, to));
            const std::string left = ReadBack(w);
            EXPECT_TRUE(left == before || left == after) << left;
            if (fsck) {
                EXPECT_EQ(FsckReportBeyondLostClusters(w), "");
            }
        }
    }
}

}  // namespace
}  // namespace quarnex
