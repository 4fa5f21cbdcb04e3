// Find reads each slot's boot sector and, where a volume is, one FAT and its
// directories, never file data; a failed read or a cancel stops at its slot.
#include "store/store_find.hpp"

#include <gtest/gtest.h>

#include <tuple>

#include "fat12/fat12_volume.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

using namespace testing;

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
    PutBytes(store, SlotOffset(kVolumeSlot), BytesOf(image, 0, image.size()));
}

TEST(StoreFind, ReadsOnlyDirectoriesAndStopsWhereAReadFailsOrTheUserCancels) {
    // Reads: one boot sector per slot; slot 5 adds its FAT, root and two
    // folder clusters (reads 6..9), never the file's three clusters.
    // Name, fault, cancelled after which read (0: never), outcome, its unit, reads, found.
    const std::tuple<const char*, std::optional<Fault>, int, Outcome, int, int, bool> cases[] = {
        {"complete", std::nullopt, 0, Outcome::Complete, -1, 999 + 4, true},
        {"folder read fails", StoreFault(FaultOp::Read, 9), 0, Outcome::Incomplete, 5, 9, false},
        {"boot sector fails", StoreFault(FaultOp::Read, 3), 0, Outcome::Incomplete, 3, 3, false},
        {"cancel after slot 5", std::nullopt, 9, Outcome::Incomplete, 5, 9, true},
    };
    const std::vector<FindMatch> lemmings = {
        {kVolumeSlot, "PARTS      ", FoundIn::File, kFilePath}};
    for (const auto& [name, fault, cancelAfterRead, outcome, unit, reads, found] : cases) {
        SCOPED_TRACE(name);
        StoreWorld w;
        PutVolume(w.store);
        w.Arm(fault, FaultOp::Read, cancelAfterRead);
        const FindResult result = FindInStore(w.ctx, w.state.SelectedStore(), "lemmings");
        EXPECT_EQ(std::tuple(result.result.outcome, result.result.unit, result.result.Cancelled(),
                             w.devices.Count(FaultOp::Read, "usbstore")),
                  std::tuple(outcome, unit, cancelAfterRead != 0, reads));
        EXPECT_EQ(result.matches, found ? lemmings : std::vector<FindMatch>{});
        w.ExpectReport(fault ? "" : nullptr);
        w.ExpectSettled();
    }
}

}  // namespace
}  // namespace quarnex
