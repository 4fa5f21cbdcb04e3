// Many images into slots in one run (files dropped on a grid row): what the
// store and DISKS.TXT hold after a failure or a cancel part way, the one
// question before used slots are replaced, refusals before any write, and
// which slots count as used.
#include "commands/drop_images.hpp"

#include <gtest/gtest.h>

#include "commands/main_commands.hpp"
#include "fat12/dir_entry.hpp"
#include "fat12/fat12_volume.hpp"
#include "store/slot_usage.hpp"
#include "store/store_world.hpp"
#include "store/write_mark.hpp"

namespace quarnex {
namespace {

using namespace testing;

Bytes BlankVolume(const std::string& label) {
    std::vector<std::byte> image(kImageBytes);
    fat12::BuildBlankVolume(image, label);
    return BytesOf(image, 0, kImageBytes);
}

// Three files dropped on row 5. A slot takes 161 writes: 160 blocks, then its
// real boot sector.
TEST(PutImages, SlotsWrittenBeforeAStopAreKeptAndRecorded) {
    // Fault; cancel after this many writes; slots recorded with their file as
    // source, slots that hold their file, the slot left marked.
    const std::tuple<std::optional<Fault>, int, int, int, int> cases[] = {
        {std::nullopt, 0, 3, 3, 0},
        {StoreFault(FaultOp::Write, 1, ENOSPC), 0, 0, 0, 0},
        {StoreFault(FaultOp::Write, 161 + 5, EIO), 0, 1, 1, 6},
        {std::nullopt, 2 * 161 + 2, 2, 2, 7},
        {StoreFault(FaultOp::Flush, 7, EIO), 0, 2, 3, 0},  // the close's flush
    };
    for (const auto& [fault, cancelAfter, recorded, equal, marked] : cases) {
        SCOPED_TRACE(std::to_string(recorded) + " " + std::to_string(marked));
        StoreWorld w;
        ASSERT_TRUE(LoadSelectedStore(w.ctx));
        std::vector<std::string> files;
        for (int i = 0; i < 3; ++i) {
            files.push_back(w.dir / ("d" + std::to_string(i) + ".img"));
            WriteFileBytes(files.back(), BlankVolume("DISK" + std::to_string(i)));
        }
        w.ui.messageAnswers = {MessageAnswer::Yes};  // the zeroed slots count as used
        w.Arm(fault, FaultOp::Write, cancelAfter);
        w.ui.progressLabels.clear();
        const OperationResult result = PutDroppedImages(w.ctx, 5, files);

        EXPECT_EQ(std::tuple(result.Complete(), result.Cancelled()),
                  std::tuple(recorded == 3, cancelAfter != 0));
        const std::string disks = w.Slot0File();
        for (int i = 0; i < 3; ++i) {
            const Bytes slot = w.Read(SlotOffset(5 + i), kImageBytes);
            const std::string source = ThreeDigits(5 + i) + " SRC>" + files[i];
            EXPECT_EQ(
                std::tuple(disks.find(source) != std::string::npos, slot == ReadFileBytes(files[i]),
                           HasWriteMark(std::as_bytes(std::span(slot)).first(kSectorBytes))),
                std::tuple(i < recorded, i < equal, 5 + i == marked))
                << i;
        }
        int shown = 0;  // one bar over all the slots: it never goes back until the put ends
        for (const std::string& label : w.ui.progressLabels) {
            const int percent =
                label.ends_with('%') ? std::stoi(label.substr(label.rfind(' '))) : -1;
            if (percent < 0 && shown > 0) {
                break;
            }
            EXPECT_GE(percent, percent < 0 ? -1 : shown) << label;
            shown = std::max(shown, percent);
        }
        w.ExpectSettled();
    }
}

TEST(PutImages, UsedSlotsAreReplacedOnlyAfterOneYesAndBadFilesNever) {
    // Slot 6's description; a short second file; the drop's row; the message; written.
    const std::tuple<std::string, bool, int, std::string, bool> cases[] = {
        {"", false, 5, "", true},
        {"kept", false, 5, "Replace the images and descriptions of slot 006 of", false},
        {"", true, 5,
         "short.img is not a 1.44 MB floppy image file: it holds 1,474,559 bytes, not "
         "1,474,560; nothing was written",
         false},
        {"", false, 999, "2 files from slot 999 on would reach past slot 999; refused", false},
    };
    for (const auto& [description, shortFile, row, message, written] : cases) {
        SCOPED_TRACE(message);
        StoreWorld w;
        for (int slot = 5; slot <= 7; ++slot) {
            PutBytes(w.store, SlotOffset(slot), BlankVolume("FREE"));
        }
        ASSERT_TRUE(LoadSelectedStore(w.ctx));
        w.state.slotTable.SetDescription(6, description);
        const std::vector<std::string> files{w.dir / "a.img", w.dir / "short.img"};
        WriteFileBytes(files[0], BlankVolume("A"));
        WriteFileBytes(files[1], Bytes(kImageBytes - (shortFile ? 1 : 0), 0x5A));
        const Bytes before = w.Read(SlotOffset(5), 3 * kSlotStride);
        PutDroppedImages(w.ctx, row, files);  // no answer given: No
        EXPECT_EQ(w.Read(SlotOffset(6), kImageBytes) == ReadFileBytes(files[1]), written);
        EXPECT_TRUE(written || w.Read(SlotOffset(5), 3 * kSlotStride) == before);
        ASSERT_EQ(w.ui.messages.size(), message.empty() ? 0u : 1u);
        EXPECT_TRUE(message.empty() || w.ui.messages[0].text.find(message) != std::string::npos)
            << w.ui.messages[0].text;
    }
}

TEST(SlotUsage, UsedWhenItHoldsAFileADescriptionOrNoFat12Volume) {
    Bytes file = BlankVolume("FILES");
    ASSERT_TRUE(fat12::ReplaceRootFile(std::as_writable_bytes(std::span(file)), "A.TXT", "text") ==
                fat12::Status::Ok);
    Bytes deleted = file;
    deleted[fat12::RootEntryOffset(1)] = 0xE5;
    const std::tuple<Bytes, std::string, SlotUse> cases[] = {
        {BlankVolume("BLANK"), "", SlotUse::Free},      {deleted, "", SlotUse::Free},
        {BlankVolume("BLANK"), "notes", SlotUse::Used}, {file, "", SlotUse::Used},
        {Bytes(kImageBytes, 0), "", SlotUse::Used},
    };
    for (const auto& [bytes, description, use] : cases) {
        EXPECT_EQ(UseOfSlot(std::as_bytes(std::span(bytes)), description), use) << description;
    }
}

}  // namespace
}  // namespace quarnex
