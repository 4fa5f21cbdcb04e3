// Find reads each slot's boot sector and, where a volume is, one FAT and its
// directories, never file data; a failed read or a cancel stops at its slot.
#include "store/store_find.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

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

// Slot 5: a file of three clusters two folders down; other slots are zeros.
void PutVolume(const std::string& store) {
    std::vector<std::byte> image(kImageBytes);
    fat12::BuildBlankVolume(image, "PARTS");
    for (const char* folder : {"Tools", "Tools/Deep"}) {
        ASSERT_EQ(fat12::ApplyStages(image, fat12::StageMakeFolder(image, folder, {})),
                  fat12::Status::Ok);
    }
    const std::string data(1500, 'x');
    ASSERT_EQ(fat12::ApplyStages(image, fat12::StageFileWrite(image, kFilePath, data, {})),
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
        bool found;
    };
    const Case cases[] = {
        {"complete", std::nullopt, 0, Outcome::Complete, -1, 999 + 4, true},
        {"folder read fails", StoreFault(FaultOp::Read, 9), 0, Outcome::Incomplete, 5, 9, false},
        {"boot sector fails", StoreFault(FaultOp::Read, 3), 0, Outcome::Incomplete, 3, 3, false},
        {"cancel after slot 5", std::nullopt, 9, Outcome::Incomplete, 5, 9, true},
    };
    const std::vector<FindMatch> lemmings = {
        {kVolumeSlot, "PARTS      ", FoundIn::File, kFilePath}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StoreWorld w;
        PutVolume(w.store);
        w.Arm(c.fault, FaultOp::Read, c.cancelAfterRead);
        const FindResult found = FindInStore(w.ctx, w.state.SelectedStore(), "lemmings");
        EXPECT_EQ(std::tuple(found.result.outcome, found.result.unit, found.result.Cancelled(),
                             w.devices.Count(FaultOp::Read, "usbstore")),
                  std::tuple(c.outcome, c.unit, c.cancelAfterRead != 0, c.reads));
        EXPECT_EQ(found.matches, c.found ? lemmings : std::vector<FindMatch>{});
        w.ExpectReport(c.fault ? "" : nullptr);
        w.ExpectSettled();
    }
}

}  // namespace
}  // namespace quarnex
