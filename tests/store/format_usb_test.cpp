#include "store/format_usb.hpp"

#include <gtest/gtest.h>

#include "commands/main_commands.hpp"

#include <filesystem>
#include <tuple>

#include "core/text.hpp"
#include "store/write_mark.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

using namespace testing;

constexpr unsigned kOldSeed = 40;
const OperationResult kFailedToStart = OperationResult::NotStarted(NotStartedReason::Failure);
const std::string kFormatting = "Formatting USB  sdb  Disk(";

// The slot as formatted; marked: with the mark of an unfinished format in the
// boot sector.
bool SlotFormatted(const std::string& store, int slot, const Bytes& templateBytes,
                   const std::string& label, bool marked = false) {
    Bytes expected = FormattedSlot(templateBytes, slot, label);
    if (marked) {
        std::copy(kWriteMark.begin(), kWriteMark.end(), expected.begin() + kWriteMarkOffset);
    }
    return ReadFileBytes(store, SlotOffset(slot), kSlotStride) == expected;
}

struct FormatWorld : StoreWorld {
    FormatWorld() { MarkSlots(store, kOldSeed, {0, 3}); }
    const Bytes templateBytes = InstallTemplate();
};

TEST(FormatUsb, LabelsForTheDeviceAndForNumberedAndUnnumberedBases) {
    const std::string ae6 = "\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84";
    const std::string ss8 = "\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F";
    // Slot 0: cut to 11 first, then stripped, then padded.
    EXPECT_EQ(FormatLabel(0, " ABCD", "X", true), "ABCD       ");
    EXPECT_EQ(FormatLabel(0, "  ABCDEFGHIJKLM", "X", false), "ABCDEFGHI  ");
    EXPECT_EQ(FormatLabel(0, "", "X", true), "           ");
    // Numbered: the base's first 8 characters and three digits; cuts of plain
    // ASCII are the terminal tool's format test's job.
    EXPECT_EQ(FormatLabel(42, "", "FDISK", true), "FDISK042   ");
    EXPECT_EQ(FormatLabel(7, "", "", true), "007        ");
    // Unnumbered: the same label for every slot; the base keeps its spaces.
    EXPECT_EQ(FormatLabel(1, "", "ABC", false), "ABC        ");
    EXPECT_EQ(FormatLabel(5, "", " AB", false), " AB        ");
    // Typed accents count as one character each and are never cut in two.
    EXPECT_EQ(FormatLabel(0, ae6 + "X", "", true), ae6 + "X    ");
    EXPECT_EQ(FormatLabel(3, "", ss8 + "\xC3\x9F", true), ss8 + "003");
}

TEST(FormatUsb, WritesEverySlotFromTheTemplateWithSlotZeroLast) {
    FormatWorld w;
    SlotTable& table = w.state.slotTable;
    table.internalImage = {"desc", "src"};
    table.SetDescription(999, "desc");
    table.SetSource(500, "src");
    const int& flushesAtFinished = w.FlushesAtFinished("usbstore");

    EXPECT_EQ(FormatStore(w.ctx, {" MYSTICK", "FDISK", true}), OperationResult::Done());

    EXPECT_TRUE(SlotFormatted(w.store, 0, w.templateBytes, "MYSTICK    "));
    for (int slot = 1; slot < kSlotCount; ++slot) {
        ASSERT_TRUE(
            SlotFormatted(w.store, slot, w.templateBytes, "FDISK" + ThreeDigits(slot) + "   "))
            << slot;
    }
    // Slot 0 written last and the mark's place are the crash and fault tables' job.
    const std::vector<std::string>& labels = w.ui.actionLabels;
    ASSERT_EQ(labels.size(), 1000ul);
    EXPECT_EQ(std::tuple(labels[0], labels[1], labels[999]),
              std::tuple("", kFormatting + "001)", kFormatting + "999)"));
    EXPECT_EQ(std::tuple(w.devices.Count(FaultOp::Read, "FAT12.144"),
                         w.devices.Count(FaultOp::Dismount, "usbstore"), w.ui.messages.size()),
              std::tuple(1, 1, 0u));
    EXPECT_EQ(flushesAtFinished, 5) << "Finished shown before the store was flushed";
    EXPECT_EQ(w.state.status.progressLabel, "Progress      Finished");
    // The base is kept; slot 0's texts stay, the others' are emptied.
    EXPECT_EQ(std::tuple(table.baseId, table.baseIdPresent, table.baseIdNumbered,
                         table.internalImage.description + table.internalImage.source,
                         table.Slot(999).description + table.Slot(500).source),
              std::tuple("FDISK", true, true, "descsrc", ""));
    w.ExpectSettled();
}

TEST(FormatUsb, ShortAndLongTemplatesGiveAtMostOneImageThenZeros) {
    for (const Bytes& bytes : {Pattern(0, 512, 9), Pattern(0, kImageBytes + 4096, 10)}) {
        SCOPED_TRACE(bytes.size());
        FormatWorld w;
        w.InstallTemplate(bytes);
        w.Arm(std::nullopt, FaultOp::Write, 3);  // cancelled after slot 2, to keep it short

        EXPECT_EQ(FormatStore(w.ctx, {"SHORT", "ABC", false}),
                  OperationResult::StoppedAt(2, StopCause::Cancel));

        const Bytes image(bytes.begin(), bytes.begin() + std::min(bytes.size(), kImageBytes));
        // Slot 0 keeps the mark: the format did not finish.
        EXPECT_TRUE(SlotFormatted(w.store, 0, image, "SHORT      ", true));
        for (const int slot : {1, 2}) {
            EXPECT_TRUE(SlotFormatted(w.store, slot, image, "ABC        "));
        }
        EXPECT_TRUE(SlotMarked(w.store, 3, kOldSeed));
        w.ExpectSettled();
    }
}

// Typed accents count as one character and become one label byte each.
TEST(FormatDialog, OkFormatsWithTheCapitalsOfTheFirstElevenCharactersThenResets) {
    FormatWorld w;
    DialogTexts& dialogs = w.model.dialogs;
    dialogs.usbIdText = " b\xC3\xBChne-12345678";              // " bühne-12345678"
    dialogs.usbBaseIdText = "\303\251t\303\251abcdefghijklm";  // "étéabcdefghijklm"
    dialogs.usbAppendId = false;
    w.state.slotTable.SetDescription(5, "old description");
    w.state.slotTable.baseIdPresent = true;

    EXPECT_EQ(FormatStoreFromDialog(w.ctx, w.store), OperationResult::Done());

    EXPECT_EQ(dialogs.usbIdText + "|" + dialogs.usbBaseIdText,
              " B\303\234HNE-1234|\303\211T\303\211ABCDEFGH");
    EXPECT_TRUE(SlotFormatted(w.store, 0, w.templateBytes, "B\xDCHNE-1234 "));
    for (const int slot : {1, 500, 999}) {
        EXPECT_TRUE(SlotFormatted(w.store, slot, w.templateBytes, "\311T\311ABCDEFGH")) << slot;
    }
    // The reset that follows: no store, no base, an empty grid.
    EXPECT_EQ(
        std::tuple(w.state.selectedDevice, w.state.devices.count, w.state.slotTable.baseIdPresent,
                   w.model.grid.Cell(5, 2), w.model.frameCaption, w.state.status.actionLabel),
        std::tuple(0, 0, false, "", " Disk Selection ", ""));
    EXPECT_TRUE(w.ui.messages.empty());
    w.ExpectSettled();
}

TEST(FormatDialog, OkStillResetsAfterAFailureAndRefusesAChangedSelection) {
    {
        FormatWorld w;  // the template is missing: the store is not even opened
        std::filesystem::remove(w.dir / "QuarnCfg/FAT12.144");
        EXPECT_EQ(FormatStoreFromDialog(w.ctx, w.store), kFailedToStart);
        EXPECT_EQ(w.OnlyMessage(),
                  "Error # 0x80040002 was generated by QrnMfntFormatUSB.Quarnex\r\n"
                  "No such file or directory");
        EXPECT_EQ(std::pair(w.devices.Count(FaultOp::Open, "usbstore"), w.state.selectedDevice),
                  std::pair(0, 0))
            << "the window is reset in every case";
        w.ExpectSettled();
    }
    // The dialog does not block the window: another store may have been
    // selected, or none, since it was opened.
    for (const bool noneSelected : {false, true}) {
        FormatWorld w;
        w.model.dialogs.usbIdText = "abc";
        w.state.selectedDevice = noneSelected ? 0 : 1;
        EXPECT_EQ(FormatStoreFromDialog(w.ctx, w.dir / "other-store.img"),
                  OperationResult::NotStarted(NotStartedReason::Refused));
        ASSERT_EQ(w.ui.messages.size(), 1u);
        const MessageRequest& m = w.ui.messages[0];
        EXPECT_EQ(std::tie(m.title, m.icon, m.text),
                  std::tuple("Format USB (1000 Floppy Images)", MessageIcon::Exclamation,
                             "The selected device changed after this dialog was opened.\r\n"
                             "Nothing was formatted."));
        EXPECT_TRUE(w.devices.Log().empty()) << "nothing may be opened, or written";
        EXPECT_EQ(std::pair(w.state.selectedDevice, w.model.dialogs.usbIdText),
                  std::pair(noneSelected ? 0 : 1, std::string("ABC")))
            << "the selection stays";
        w.ExpectSettled();
    }
}

}  // namespace
}  // namespace quarnex
