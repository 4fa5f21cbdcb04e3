#include "store/slot_transfer.hpp"

#include <gtest/gtest.h>

#include "commands/main_commands.hpp"

#include <cstring>
#include <tuple>

#include "fat12/fat12_volume.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

using testing::Bytes;
using testing::BytesOf;
using testing::FaultOp;
using testing::Pattern;
using testing::StoreFault;
using testing::StoreWorld;

// Texts of the internal image and of slot n, slot n's cells, the last action
// label and the number of messages.
auto Texts(const StoreWorld& w, int n) {
    const SlotTable& t = w.state.slotTable;
    return std::tuple(t.internalImage.description, t.internalImage.source, t.Slot(n).description,
                      t.Slot(n).source, w.model.grid.Cell(n, 1), w.model.grid.Cell(n, 2),
                      w.ui.actionLabels.back(), w.ui.messages.size());
}

// The bytes are the terminal tool's put and get tests' job; here the texts
// that travel with the image and what the window shows.
TEST(SlotTransfer, ExportAndImportCarryTheTextsAndShowTheSlot) {
    StoreWorld w;
    const Bytes image = Pattern(0, kImageBytes, 9);
    std::memcpy(w.Image().data(), image.data(), kImageBytes);
    w.state.slotTable.internalImage = {"first\r\nsecond", "/images/a.img"};
    w.model.grid.SetMark(999, RowMark::Selection);  // kept: the slot stays selected
    const int& flushesBeforeFinished = w.FlushesAtFinished(w.store);

    EXPECT_EQ(ExportToSlot(w.ctx, 999), OperationResult::Done());

    EXPECT_GE(flushesBeforeFinished, 1) << "Finished shown before the data was flushed";
    EXPECT_EQ(Texts(w, 999),
              std::tuple("first\r\nsecond", "/images/a.img", "first\r\nsecond", "/images/a.img",
                         " ----------- *", "first\r\nsecond", "Export To USB Disk(999) ", 0u));
    EXPECT_NE(w.Slot0File().find("999 SRC>/images/a.img\r\n999  ID>[-----------]\r\n"
                                 "999   1>first\r\n999   2>second\r\n"),
              std::string::npos);

    std::memset(w.Image().data(), 0xEE, kImageBytes);
    w.state.slotTable.internalImage = {};
    EXPECT_EQ(ImportFromSlot(w.ctx, 999), OperationResult::Done());
    EXPECT_EQ(BytesOf(w.Image(), 0, kImageBytes), image);
    EXPECT_EQ(std::tie(w.state.status.bufferCaption, w.state.status.bufferOpaque,
                       w.state.status.progressLabel, w.state.imageSource),
              std::tuple("USB Disk(999)   [sdb  (" + w.store + ")]", false,
                         "Progress      Finished", SourceUsbSlot));
    EXPECT_EQ(std::get<6>(Texts(w, 999)), "Import From USB Disk(999) ");
    EXPECT_EQ(w.state.slotTable.internalImage.description, "first\r\nsecond");
    w.ExpectSettled();

    // Slots outside 1..999 are refused without touching anything.
    const int opened = w.devices.Count(FaultOp::Open);
    const OperationResult noSlot = OperationResult::NotStarted(NotStartedReason::NoTarget);
    EXPECT_EQ(ImportFromSlot(w.ctx, 0), noSlot);
    EXPECT_EQ(ExportToSlot(w.ctx, 1000), noSlot);
    EXPECT_EQ(w.devices.Count(FaultOp::Open), opened);
}

TEST(ExportImageToSlot, ReloadShowsTheImageLabelAndCarriedTexts) {
    const std::string old = "005 SRC>old.img\r\n005  ID>[OLDDISK    ]\r\n005   1>old text\r\n";
    const std::string torn = "005  ID>[NEWDISK    ]\r\n005   1>line one\r\n";
    const std::string kept = " OLDDISK     |old text|old.img";
    const std::string newTexts = " NEWDISK     |line one\r\nline two|";
    // Fault; slot 5's ID cell, description and source after the reload; its
    // record in DISKS.TXT; the report (none: complete); listed as part written.
    const std::tuple<std::optional<testing::Fault>, std::string, std::string, const char*, bool>
        cases[] = {
            {std::nullopt, newTexts + "/images/new.img", "005 SRC>/images/new.img\r\n" + torn,
             nullptr, false},
            // Nothing written: the slot keeps its record.
            {StoreFault(FaultOp::Dismount, 1, EBUSY), kept, old, "UnmountVolume", false},
            {StoreFault(FaultOp::Write, 1, ENOSPC), kept, old, "QrnMfntWritePtr", false},
            // Part written: the new ID, no source, and marked.
            {StoreFault(FaultOp::Write, 5, EIO), newTexts, torn, "QrnMfntWritePtr", true},
            {StoreFault(FaultOp::Write, 161, EIO), newTexts, torn, "QrnMfntWritePtr", true},
        };
    for (const auto& [fault, after, record, report, marked] : cases) {
        SCOPED_TRACE(report == nullptr ? "no fault" : report);
        StoreWorld w;
        w.PutLabel(5, "OLDDISK    ");
        w.PutSlot0File("DISKS.TXT", old);
        ASSERT_TRUE(LoadSelectedStore(w.ctx));
        fat12::BuildBlankVolume(w.Image(), "NEWDISK");
        w.state.slotTable.internalImage = {"line one\r\nline two", "/images/new.img"};
        w.Arm(fault, FaultOp::Write, 0);
        w.state.selectedDisk = 5;

        EXPECT_EQ(ExportImageToSlot(w.ctx).Complete(), report == nullptr);

        const SlotRecord& slot = w.state.slotTable.Slot(5);
        EXPECT_EQ(w.model.grid.Cell(5, 1) + "|" + slot.description + "|" + slot.source, after);
        const std::string file = w.Slot0File();
        EXPECT_EQ(file.rfind("Disk Descriptions For USB Image File 'sdb/DISKS.TXT'", 0), 0u);
        EXPECT_NE(file.find("\r\n\r\n" + record), std::string::npos) << file;
        // The error report, then the store's listing of the part-written slot.
        ASSERT_EQ(w.ui.messages.size(), (report ? 1u : 0u) + (marked ? 1u : 0u));
        EXPECT_TRUE(!report || w.ui.messages.front().text.find(report) != std::string::npos);
        EXPECT_TRUE(!marked || w.ui.messages.back().text ==
                                   "Slot 005 was not completely written: put an image into it "
                                   "again.");
        w.ExpectSettled();
    }
}

TEST(ExportImageToSlot, AnUnreadableDescriptionsFileIsReplacedOnlyWhenTheUserAgrees) {
    const std::string unread =
        "DISKS.TXT could not be read in full:\r\nLine 2 cannot be placed: -01   1>stray line";
    const char* const kReplace = "\r\n\r\nReplace it? What could not be read in it is lost.";
    for (const bool exporting : {false, true}) {
        for (const MessageAnswer answer : {MessageAnswer::Cancel, MessageAnswer::Ok}) {
            SCOPED_TRACE(std::to_string(exporting) + std::to_string(int(answer)));
            StoreWorld w;
            w.PutSlot0File("DISKS.TXT", "005   1>five\r\n-01   1>stray line\r\n");
            ASSERT_TRUE(LoadSelectedStore(w.ctx));  // says what could not be read
            fat12::BuildBlankVolume(w.Image(), "NEWDISK");
            w.state.selectedDisk = 7;
            w.state.slotTable.SetDescription(7, "edited");
            w.ui.messageAnswers = {answer};
            const Bytes before = w.Read(0, SlotOffset(8));
            if (exporting) {
                EXPECT_EQ(ExportImageToSlot(w.ctx).Complete(), answer == MessageAnswer::Ok);
            } else {
                SaveStoreDescriptions(w.ctx);
            }
            ASSERT_EQ(w.ui.messages.size(), 2u);
            EXPECT_EQ(
                std::tuple(w.ui.messages[0].text, w.ui.messages[1].text, w.ui.messages[1].buttons),
                std::tuple(unread, unread + kReplace, MessageButtons::OkCancel));
            EXPECT_EQ(w.Read(0, SlotOffset(8)) == before, answer == MessageAnswer::Cancel);
            const std::string file = w.Slot0File();
            EXPECT_EQ(file.find("005   1>five\r\n") != std::string::npos &&
                          file.find("stray") == std::string::npos,
                      answer == MessageAnswer::Ok);
        }
    }
}

}  // namespace
}  // namespace quarnex
