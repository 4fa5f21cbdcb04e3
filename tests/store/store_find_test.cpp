// Find reads each slot's boot sector and, where a volume is, one FAT and its
// directories, never file data; a failed read or a cancel stops at its slot.
#include "store/store_find.hpp"

#include <gtest/gtest.h>

#include <fstream>

#include "fat12/fat12_volume.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

using testing::Fault;
using testing::FaultOp;
using testing::StoreFault;
using testing::StoreWorld;

constexpr int kVolumeSlot = 5;
constexpr const char* kFilePath = "Tools/Deep/Lemmings Data.dat";

// Slot 5: a volume with a file of three clusters two folders down; the
// other slots hold no volume (zeros).
void PutVolume(const std::string& store) {
    std::vector<std::byte> image(kImageBytes);
    fat12::BuildBlankVolume(image, "PARTS");
    const fat12::Stamp now{};
    ASSERT_EQ(fat12::ApplyStages(image, fat12::StageMakeFolder(image, "Tools", now)),
              fat12::Status::Ok);
    ASSERT_EQ(fat12::ApplyStages(image, fat12::StageMakeFolder(image, "Tools/Deep", now)),
              fat12::Status::Ok);
    ASSERT_EQ(fat12::ApplyStages(
                  image, fat12::StageFileWrite(image, kFilePath, std::string(1500, 'x'), now)),
              fat12::Status::Ok);
    std::fstream file(store, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(SlotOffset(kVolumeSlot)));
    file.write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    ASSERT_TRUE(file.good());
}

TEST(StoreFind, ReadsOnlyDirectoriesAndStopsWhereAReadFailsOrTheUserCancels) {
    // Reads: one boot sector per slot; slot 5 adds its FAT, root and two
    // folder clusters (reads 6..9), never the file's three clusters.
    struct Case {
        const char* name;
        std::optional<Fault> fault;
        int cancelAfterRead;
        Outcome outcome;
        int unit;
        int reads;
        std::size_t matches;
    };
    const Case cases[] = {
        {"complete", std::nullopt, 0, Outcome::Complete, -1, 999 + 4, 1},
        {"folder read fails", StoreFault(FaultOp::Read, 9), 0, Outcome::Incomplete, 5, 9, 0},
        {"boot sector fails", StoreFault(FaultOp::Read, 3), 0, Outcome::Incomplete, 3, 3, 0},
        {"cancel after slot 5", std::nullopt, 9, Outcome::Incomplete, 5, 9, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StoreWorld w;
        PutVolume(w.store);
        w.Arm(c.fault, FaultOp::Read, c.cancelAfterRead);
        const FindResult found = FindInStore(w.ctx, w.state.SelectedStore(), "lemmings");
        EXPECT_EQ(found.result.outcome, c.outcome);
        EXPECT_EQ(found.result.unit, c.unit);
        EXPECT_EQ(found.result.Cancelled(), c.cancelAfterRead != 0);
        EXPECT_EQ(w.devices.Count(FaultOp::Read, "usbstore"), c.reads);
        ASSERT_EQ(found.matches.size(), c.matches);
        if (c.matches == 1) {
            EXPECT_EQ(found.matches[0],
                      (FindMatch{kVolumeSlot, "PARTS      ", FoundIn::File, kFilePath}));
        }
        w.ExpectReport(c.fault ? "" : nullptr);
        w.ExpectSettled();
    }
}

}  // namespace
}  // namespace quarnex
