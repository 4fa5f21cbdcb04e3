// Whole-store operations besides their crash and fault tables: the format's
// labels, templates and dialog; the backup and restore's dialogs and refusals;
// the order in which the writers close the store.
#include <gtest/gtest.h>

#include "commands/main_commands.hpp"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <tuple>

#include "core/text.hpp"
#include "store/format_usb.hpp"
#include "store/slot_transfer.hpp"
#include "store/store_file_copy.hpp"
#include "store/write_mark.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

using namespace testing;

constexpr unsigned kOldSeed = 40;

bool SlotFormatted(const std::string& store, int slot, const Bytes& templateBytes,
                   const std::string& label) {
    return ReadFileBytes(store, SlotOffset(slot), kSlotStride) ==
           FormattedSlot(templateBytes, slot, label);
}

struct FormatWorld : StoreWorld {
    FormatWorld() { MarkSlots(store, kOldSeed, {0, 3}); }
    const Bytes templateBytes = InstallTemplate();
};

TEST(FormatUsb, LabelsForTheDeviceAndForNumberedAndUnnumberedBases) {
    const std::string ss8 = "\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F";
    // Slot, ID, base, numbered, label.
    const std::tuple<int, std::string, std::string, bool, std::string> cases[] = {
        {0, "  ABCDEFGHIJKLM", "X", false, "ABCDEFGHI  "},  // cut to 11, then stripped
        {0, "", "X", true, std::string(11, ' ')},
        {7, "", "", true, "007        "},
        {5, "", " AB", false, " AB        "},          // the base keeps its spaces
        {3, "", ss8 + "\xC3\x9F", true, ss8 + "003"},  // accents are never cut in two
    };
    for (const auto& [slot, id, base, numbered, label] : cases) {
        EXPECT_EQ(FormatLabel(slot, id, base, numbered), label) << slot << id << base;
    }
}

TEST(FormatUsb, ShortAndLongTemplatesGiveAtMostOneImageThenZeros) {
    for (const Bytes& bytes : {Pattern(0, 512, 9), Pattern(0, kImageBytes + 4096, 10)}) {
        SCOPED_TRACE(bytes.size());
        FormatWorld w;
        w.InstallTemplate(bytes);
        w.Arm(std::nullopt, FaultOp::Write, 3);  // cancelled after slot 2, to keep it short

        EXPECT_EQ(FormatSelectedStore(w.ctx, {"SHORT", "ABC", false}),
                  OperationResult::CancelledAt(2));

        const Bytes image(bytes.begin(), bytes.begin() + std::min(bytes.size(), kImageBytes));
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
    // The reset that follows: no store, no base, an empty grid, and the end said.
    EXPECT_EQ(
        std::tuple(w.state.selectedDevice, w.state.devices.count, w.state.slotTable.baseIdPresent,
                   w.model.grid.Cell(5, 2), w.model.frameCaption,
                   w.state.status.actionLabel + "|" + w.state.status.progressLabel),
        std::tuple(0, 0, false, "", " Disk Selection ", "|Progress      Finished"));
    EXPECT_TRUE(w.ui.messages.empty());
    w.ExpectSettled();
}

TEST(FormatDialog, OkStillResetsAfterAFailureAndRefusesAChangedSelection) {
    {
        FormatWorld w;  // the template is missing: the store is not even opened
        std::filesystem::remove(w.dir / "QuarnCfg/FAT12.144");
        EXPECT_EQ(FormatStoreFromDialog(w.ctx, w.store).outcome, Outcome::NotStarted);
        EXPECT_EQ(w.OnlyMessage(),
                  ErrorHead(ENOENT) + "QrnMfntFormatUSB.Quarnex\r\n" + w.devices.ErrorText(ENOENT));
        EXPECT_EQ(std::pair(w.devices.Count(FaultOp::Open, "usbstore"), w.state.selectedDevice),
                  std::pair(0, 0))
            << "the window is reset in every case";
        w.ExpectSettled();
    }
    // The dialog does not block the window: none (or another store: the GUI's
    // dialog test) may have been selected since it was opened.
    FormatWorld w;
    w.model.dialogs.usbIdText = "abc";
    w.state.selectedDevice = 0;
    EXPECT_EQ(FormatStoreFromDialog(w.ctx, w.store),
              OperationResult::NotStarted(NotStartedReason::Refused));
    ASSERT_EQ(w.ui.messages.size(), 1u);
    const MessageRequest& m = w.ui.messages[0];
    EXPECT_EQ(std::tie(m.title, m.icon, m.text),
              std::tuple("Format USB (1000 Floppy Images)", MessageIcon::Exclamation,
                         "The selected device changed after this dialog was opened.\r\n"
                         "Nothing was formatted."));
    EXPECT_TRUE(w.devices.Log().empty()) << "nothing may be opened, or written";
    EXPECT_EQ(std::pair(w.state.selectedDevice, w.model.dialogs.usbIdText),
              std::pair(0, std::string("ABC")))
        << "the selection stays";
    w.ExpectSettled();
}

TEST(StoreFileDialogs, CancelledDialogsAreSilentAndChangeNothing) {
    StoreWorld w;
    std::string path;
    const auto cancelled = OperationResult::NotStarted(NotStartedReason::DialogCancelled);
    EXPECT_EQ((std::pair{BackupSelectedStore(w.ctx, path).copy, ImportStoreFromFile(w.ctx)}),
              std::pair(cancelled, cancelled));

    const std::string filter = "Image Files (*.img)|*.img|All Files (*.*)|*.*";
    ASSERT_EQ(w.ui.fileDialogs.size(), 2u);
    EXPECT_EQ(w.ui.fileDialogs[0], (FileDialogRequest{"Export 1000 Floppy Image", "", "img", filter,
                                                      1, ChosenFile::AnyName, ReplacePrompt::Ask}));
    EXPECT_EQ(w.ui.fileDialogs[1], (FileDialogRequest{"Import 1000 Floppy Image", "", "img", filter,
                                                      1, ChosenFile::Existing}));
    EXPECT_TRUE(w.ui.messages.empty() && w.devices.Log().empty() && w.state.selectedDevice == 1)
        << "nothing may be opened, and the window must not be reset";
    w.ExpectSettled();
}

// Refused before anything is opened: a restore of a file of another length,
// and either copy onto (or from) the store itself under another name.
TEST(StoreFileCopies, RefuseWrongLengthsAndTheStoreItselfBeforeOpeningAnything) {
    for (const int row : {0, 1, 2, 3}) {  // two lengths; the store as restore input, backup output
        StoreWorld w;
        std::string file = w.dir / "other.img";
        std::string shown = row == 0 ? "1,572,863,999" : "0";
        if (row < 2) {
            MakeSparseFile(file, row == 0 ? kStoreBytes - 1 : 0);
        } else {
            std::filesystem::create_hard_link(w.store, file);
        }
        const OperationResult result =
            row == 3 ? BackupSelectedStore(w.ctx, file).copy : ImportStoreFromFile(w.ctx, file);
        EXPECT_EQ(result, OperationResult::NotStarted(NotStartedReason::Refused));
        ASSERT_EQ(w.ui.messages.size(), 1u);
        const MessageRequest& m = w.ui.messages[0];
        EXPECT_EQ(
            std::tie(m.title, m.icon, m.text),
            std::tuple(
                row < 2    ? "Image File Length Invalid"
                : row == 2 ? "Import 1000 Floppy Image"
                           : "Export 1000 Floppy Image",
                MessageIcon::Exclamation,
                row < 2 ? "Not a 1000 Floppy Image File.\r\n" + file + "\r\nFile Length = " + shown
                        : file + "\r\nThis file is the store itself.\r\nNothing was written."));
        EXPECT_EQ(std::pair(w.devices.Count(FaultOp::Open), w.state.selectedDevice),
                  std::pair(0, 1))
            << "nothing may be opened, nor the window reset";
        w.ExpectSettled();
    }
    // A named file that does not exist is a trapped error.
    StoreWorld w;
    std::string missing = w.dir / "missing.img";
    const OperationResult missed = RestoreSelectedStore(w.ctx, missing);
    EXPECT_EQ(std::pair(missed.outcome, missed.error->source),
              std::pair(Outcome::NotStarted, std::string("FileLen")));
    EXPECT_EQ(w.OnlyMessage(),
              ErrorHead(ENOENT) + "QrnMfntCopyFileToUSB.FileLen\r\n" + w.devices.ErrorText(ENOENT));
}

// The whole-store writers close the store's volume before its device; a slot
// export closes the device first. The store is a loop device whose volume is
// a file of its own; each run is cancelled early.
TEST(StoreWriters, CloseTheVolumeAndTheDeviceInTheirOrder) {
    for (const int writer : {0, 1, 2}) {  // format, restore, slot export
        SCOPED_TRACE(writer);
        StoreWorld w;
        LoopDevice loop(w.store);
        if (!loop.Attached()) {
            GTEST_SKIP() << loop.Problem();
        }
        const std::string name = w.SelectLoopDevice(loop);
        const std::string volume = w.dir / "volume";
        WriteFileText(volume, "");
        w.drives.drives.insert(w.drives.drives.begin(), FakeDrive{name, volume});
        w.InstallTemplate();
        std::string file = w.dir / "import.img";
        MakeSparseFile(file, kStoreBytes);
        w.Arm(std::nullopt, FaultOp::Write, 3, name);
        writer == 0 ? FormatSelectedStore(w.ctx, {"ID", "BASE", true})
        : writer == 1
            ? RestoreSelectedStore(w.ctx, file)
            : ExportToSlot(w.ctx, w.state.SelectedStore(), 12, w.state.imageBuffer.Span());
        // The flushes that close the two handles sit next to each other.
        const auto& log = w.devices.Log();
        const auto volumeClosed = std::ranges::find_if(
            log, [&](const auto& r) { return r.op == FaultOp::Flush && r.path == volume; });
        ASSERT_TRUE(volumeClosed != log.begin() && volumeClosed != log.end());
        const auto deviceFlush = [&](auto it) {
            return it != log.end() && it->op == FaultOp::Flush && it->path == loop.Path();
        };
        EXPECT_EQ(deviceFlush(volumeClosed + 1), writer != 2)
            << "the device closed after the volume";
        EXPECT_TRUE(deviceFlush(volumeClosed - 1));
    }
}

}  // namespace
}  // namespace quarnex
