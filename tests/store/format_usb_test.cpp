#include "store/format_usb.hpp"

#include <gtest/gtest.h>

#include "commands/main_commands.hpp"

#include <filesystem>
#include <tuple>

#include "core/text.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

using testing::Bytes;
using testing::FaultOp;
using testing::ReadFileBytes;
using testing::SlotMarked;
using testing::StoreFault;
using testing::StoreWorld;

constexpr unsigned kOldSeed = 40;
const OperationResult kFailedToStart = OperationResult::NotStarted(NotStartedReason::Failure);
const std::string kFormatting = "Formatting USB  sdb  Disk(";

// True when the slot is as formatting must leave it: the template, zeros to
// the end of the slot, and the label at both places.
bool SlotFormatted(const std::string& store, int slot, const Bytes& templateBytes,
                   const std::string& label) {
    Bytes expected(kSlotStride, 0);
    std::copy(templateBytes.begin(), templateBytes.end(), expected.begin());
    std::copy(label.begin(), label.end(), expected.begin() + 43);
    std::copy(label.begin(), label.end(), expected.begin() + 9728);
    return ReadFileBytes(store, SlotOffset(slot), kSlotStride) == expected;
}

std::string Numbered(int slot) {
    return "FDISK" + ThreeDigits(slot) + "   ";
}

// A store with the checked slots marked and a blank template installed.
struct FormatWorld : StoreWorld {
    FormatWorld() { testing::MarkSlots(store, kOldSeed, {0, 3}); }
    const Bytes templateBytes = InstallTemplate();
};

// Fills the tables of every slot, to see which entries a format empties.
void FillTables(ProgramState& state) {
    for (int n = 0; n < kTableEntries; ++n) {
        state.slotTable.DiskDescriptions.at(static_cast<std::size_t>(n)) =
            "desc " + std::to_string(n);
        state.slotTable.DiskSources.at(static_cast<std::size_t>(n)) = "src " + std::to_string(n);
    }
}

TEST(FormatUsb, LabelsForTheDeviceAndForNumberedAndUnnumberedBases) {
    // Slot 0: cut to 11 first, then stripped, then padded.
    EXPECT_EQ(FormatLabel(0, " ABCD", "X", true), "ABCD       ");
    EXPECT_EQ(FormatLabel(0, "  ABCDEFGHIJKLM", "X", false), "ABCDEFGHI  ");
    EXPECT_EQ(FormatLabel(0, "", "X", true), "           ");
    // Numbered: the base's first 8 characters and three digits.
    EXPECT_EQ(FormatLabel(1, "", "ABCDEFGHIJK", true), "ABCDEFGH001");
    EXPECT_EQ(FormatLabel(42, "", "FDISK", true), "FDISK042   ");
    EXPECT_EQ(FormatLabel(7, "", "", true), "007        ");
    // Unnumbered: the same label for every slot; the base keeps its spaces.
    EXPECT_EQ(FormatLabel(1, "", "ABC", false), "ABC        ");
    EXPECT_EQ(FormatLabel(5, "", " AB", false), " AB        ");
    EXPECT_EQ(FormatLabel(5, "", "ABCDEFGHIJKLMN", false), "ABCDEFGHIJK");
    // Typed accents count as one character each and are never cut in two.
    EXPECT_EQ(FormatLabel(0, "\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84X", "", true),
              "\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84X    ");
    EXPECT_EQ(FormatLabel(
                  3, "", "\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F",
                  true),
              "\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F"
              "003");
}

TEST(FormatUsb, WritesEverySlotFromTheTemplateWithSlotZeroLast) {
    FormatWorld w;
    FillTables(w.state);
    const int& flushesAtFinished = w.FlushesAtFinished("usbstore");

    EXPECT_EQ(fntFormatUSB(w.ctx, {" MYSTICK", "FDISK", true}), OperationResult::Done());

    EXPECT_TRUE(SlotFormatted(w.store, 0, w.templateBytes, "MYSTICK    "));
    for (int slot = 1; slot < kSlotCount; ++slot) {
        ASSERT_TRUE(SlotFormatted(w.store, slot, w.templateBytes, Numbered(slot))) << slot;
    }
    // Slot 0 after all the others.
    const std::vector<std::uint64_t> positions = w.Seeks();
    ASSERT_EQ(positions.size(), 1000u);
    EXPECT_EQ(positions[0], SlotOffset(1));
    EXPECT_EQ(positions[999], 0u);
    EXPECT_EQ(w.devices.Count(FaultOp::Read, "FAT12.144"), 1) << "the template is read once";
    EXPECT_EQ(w.devices.Count(FaultOp::Dismount, "usbstore"), 1);

    EXPECT_TRUE(w.ui.messages.empty());
    const std::vector<std::string>& labels = w.ui.actionLabels;
    ASSERT_EQ(labels.size(), 1000u);
    EXPECT_EQ(labels[0], "");
    EXPECT_EQ(labels[1], kFormatting + "001)");
    EXPECT_EQ(labels[999], kFormatting + "999)");
    EXPECT_EQ(flushesAtFinished, 2) << "Finished shown before the store was flushed";
    EXPECT_EQ(w.state.status.progressLabel, "Progress      Finished");

    EXPECT_EQ(w.state.slotTable.BaseId, "FDISK");
    EXPECT_TRUE(w.state.slotTable.BaseIdPresent && w.state.slotTable.BaseIdNumbered);
    EXPECT_EQ(w.state.slotTable.DiskDescriptions[0] + w.state.slotTable.DiskSources[0],
              "desc 0src 0")
        << "the internal image keeps its texts";
    EXPECT_EQ(w.state.slotTable.DiskDescriptions[999] + w.state.slotTable.DiskSources[500], "");
    w.ExpectSettled();
}

TEST(FormatUsb, AMissingTemplateWritesNothing) {
    FormatWorld w;
    std::filesystem::remove(w.dir / "QuarnCfg/FAT12.144");
    EXPECT_EQ(fntFormatUSB(w.ctx, {"ID", "BASE", true}), kFailedToStart);
    EXPECT_EQ(w.OnlyMessage(),
              "Error # 0x80040002 was generated by QrnMfntFormatUSB.Quarnex\r\n"
              "No such file or directory");
    EXPECT_EQ(w.devices.Count(FaultOp::Open, "usbstore"), 0) << "the store is not opened";
    EXPECT_TRUE(SlotMarked(w.store, 0, kOldSeed));
    w.ExpectSettled();
}

TEST(FormatUsb, ShortAndLongTemplatesGiveAtMostOneImageThenZeros) {
    const Bytes sector = testing::Pattern(0, 512, 9);
    const Bytes longer = testing::Pattern(0, kImageBytes + 4096, 10);
    for (const Bytes& bytes : {sector, longer}) {
        SCOPED_TRACE(bytes.size());
        FormatWorld w;
        w.InstallTemplate(bytes);
        w.Arm(std::nullopt, FaultOp::Write, 2);  // cancelled after slot 2, to keep it short

        EXPECT_EQ(fntFormatUSB(w.ctx, {"SHORT", "ABC", false}),
                  OperationResult::StoppedAt(2, StopCause::Cancel));

        const Bytes image(bytes.begin(), bytes.begin() + std::min(bytes.size(), kImageBytes));
        EXPECT_TRUE(SlotFormatted(w.store, 0, image, "SHORT      "));
        EXPECT_TRUE(SlotFormatted(w.store, 1, image, "ABC        "));
        EXPECT_TRUE(SlotFormatted(w.store, 2, image, "ABC        "));
        EXPECT_TRUE(SlotMarked(w.store, 3, kOldSeed));
        w.ExpectSettled();
    }
}

// Typed accents count as one character and become one label byte each.
TEST(FormatDialog, OkFormatsWithTheCapitalsOfTheFirstElevenCharactersThenResets) {
    FormatWorld w;
    DialogTexts& dialogs = w.model.dialogs;
    dialogs.usbIdText = " b\xC3\xBChne-12345678";  // " bühne-12345678"
    dialogs.usbBaseIdText =
        "\xC3\xA9t\xC3\xA9"
        "abcdefghijklm";  // "étéabcdefghijklm"
    dialogs.usbAppendId = false;
    w.state.slotTable.SetCell(5, 2, "old description");
    w.state.slotTable.BaseIdPresent = true;

    EXPECT_EQ(FormatStoreFromDialog(w.ctx, w.store), OperationResult::Done());

    EXPECT_EQ(dialogs.usbIdText, " B\xC3\xBCHNE-1234");
    EXPECT_EQ(dialogs.usbBaseIdText,
              "\xC3\xA9T\xC3\xA9"
              "ABCDEFGH");
    EXPECT_TRUE(SlotFormatted(w.store, 0, w.templateBytes, "B\xFCHNE-1234 "));
    for (const int slot : {1, 500, 999}) {
        EXPECT_TRUE(SlotFormatted(w.store, slot, w.templateBytes,
                                  "\xE9T\xE9"
                                  "ABCDEFGH"))
            << slot;
    }
    // The reset that follows: no store, no base, an empty grid.
    EXPECT_EQ(std::tuple(w.state.SelectedDevice, w.state.devices.DeviceCount,
                         w.state.slotTable.BaseIdPresent, w.state.slotTable.Cell(5, 2),
                         w.model.frameCaption, w.state.status.actionLabel),
              std::tuple(0, 0, false, "", " Disk Selection ", ""));
    EXPECT_TRUE(w.ui.messages.empty());
    w.ExpectSettled();
}

TEST(FormatDialog, OkStillResetsAfterAFailureAndRefusesAChangedSelection) {
    {
        FormatWorld w;
        w.devices.Inject(StoreFault(FaultOp::Dismount, 1, EBUSY));
        EXPECT_EQ(FormatStoreFromDialog(w.ctx, w.store), kFailedToStart);
        w.ExpectReport("UnmountVolume");
        EXPECT_EQ(w.devices.Count(FaultOp::Write), 0);
        EXPECT_EQ(w.state.SelectedDevice, 0) << "the window is reset in every case";
        w.ExpectSettled();
    }
    // The dialog does not block the window: another store may have been
    // selected, or none, since it was opened.
    for (const bool noneSelected : {false, true}) {
        FormatWorld w;
        w.model.dialogs.usbIdText = "abc";
        if (noneSelected) {
            w.state.SelectedDevice = 0;
        }
        EXPECT_EQ(FormatStoreFromDialog(w.ctx, w.dir / "other-store.img"),
                  OperationResult::NotStarted(NotStartedReason::Refused));
        EXPECT_EQ(w.OnlyMessage(),
                  "The selected device changed after this dialog was opened.\r\n"
                  "Nothing was formatted.");
        EXPECT_EQ(w.ui.messages.at(0).title, "Format USB (1000 Floppy Images)");
        EXPECT_EQ(w.ui.messages.at(0).icon, MessageIcon::Exclamation);
        EXPECT_TRUE(w.devices.Log().empty()) << "nothing may be opened";
        EXPECT_TRUE(SlotMarked(w.store, 0, kOldSeed));
        EXPECT_EQ(w.state.SelectedDevice, noneSelected ? 0 : 1) << "the selection stays";
        EXPECT_EQ(w.model.dialogs.usbIdText, "ABC");
        w.ExpectSettled();
    }
}

}  // namespace
}  // namespace quarnex
