// A slot put and taken back, the store reloaded after a put, and disk IDs
// that cannot all be loaded.
#include "store/slot_transfer.hpp"

#include <gtest/gtest.h>

#include "commands/main_commands.hpp"

#include <unistd.h>

#include <tuple>

#include "core/text.hpp"
#include "fat12/fat12_volume.hpp"
#include "store/disk_ids.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

using namespace testing;

// An import brings the slot's texts into the internal image and says where it came from.
TEST(SlotTransfer, ImportCarriesTheSlotsTextsAndShowsTheSlot) {
    StoreWorld w;
    w.state.slotTable.internalImage = {"first\r\nsecond", "/images/a.img"};
    const int& flushesBeforeFinished = w.FlushesAtFinished(w.store);
    EXPECT_EQ(ExportToSlot(w.ctx, w.state.SelectedStore(), 999, w.state.imageBuffer.Span()),
              OperationResult::Done());
    EXPECT_GE(flushesBeforeFinished, 1) << "Finished shown before the data was flushed";
    EXPECT_EQ(w.ui.actionLabels.back(), "Export To USB Disk(999) ");

    w.state.slotTable.internalImage = {};
    EXPECT_EQ(ReadSlotIntoImage(w.ctx, 999), OperationResult::Done());
    const StatusStrip& status = w.state.status;
    EXPECT_EQ(
        std::tie(status.bufferCaption, status.bufferOpaque, status.progressLabel,
                 w.state.imageSource, w.state.slotTable.internalImage.description,
                 w.ui.actionLabels.back()),
        std::tuple("USB Disk(999)   [sdb  (" + w.store + ")]", false, "Progress      Finished",
                   SourceUsbSlot, "first\r\nsecond", "Import From USB Disk(999) "));
    w.ExpectSettled();

    // Slots outside 1..999 are refused without touching anything.
    const int opened = w.devices.Count(FaultOp::Open);
    const OperationResult noSlot = OperationResult::NotStarted(NotStartedReason::NoTarget);
    EXPECT_EQ(ReadSlotIntoImage(w.ctx, 0), noSlot);
    EXPECT_EQ(ExportToSlot(w.ctx, w.state.SelectedStore(), 1000, w.state.imageBuffer.Span()),
              noSlot);
    EXPECT_EQ(w.devices.Count(FaultOp::Open), opened);
}

TEST(ExportImageToSlot, ReloadShowsTheImageLabelAndCarriedTexts) {
    const std::string old = "005 SRC>old.img\r\n005  ID>[OLDDISK    ]\r\n005   1>old text\r\n";
    const std::string torn = "005  ID>[NEWDISK    ]\r\n005   1>line one\r\n";
    const std::string kept = " OLDDISK     |old text|old.img";
    const std::string newTexts = " NEWDISK     |line one\r\nline two|";
    // Fault; slot 5's ID cell, description and source after the reload; its
    // record in DISKS.TXT; the report (none: complete); listed as part written.
    // clang-format off
    const std::tuple<std::optional<Fault>, std::string, std::string, const char*, bool> cases[] = {
        {std::nullopt, newTexts + "/images/new.img", "005 SRC>/images/new.img\r\n" + torn, nullptr, false},
        // Nothing written: the slot keeps its record.
        {StoreFault(FaultOp::Dismount, 1, EBUSY), kept, old, "UnmountVolume", false},
        {StoreFault(FaultOp::Write, 1, ENOSPC), kept, old, "QrnMfntWritePtr", false},
        // Part written: the new ID, no source, and marked.
        {StoreFault(FaultOp::Write, 5, EIO), newTexts, torn, "QrnMfntWritePtr", true},
        {StoreFault(FaultOp::Write, 161, EIO), newTexts, torn, "QrnMfntWritePtr", true},
    };
    // clang-format on
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

// A read fault at slot 500, or a device that ends inside slot 600: rows from
// there on keep their old IDs and the window returns to the device list.
TEST(DiskIds, AFailedReadKeepsLaterRowsAndReturnsToTheDeviceList) {
    for (const auto& [failing, report] :
         {std::pair{500, ErrorHead(EIO) + "QrnMfntRead.ReadFile"}, {600, "QrnMfntRead.ReadFile"}}) {
        StoreWorld w;
        for (int slot = 1; slot < 1000; ++slot) {
            w.PutLabel(slot, "NEW" + ThreeDigits(slot) + "     ");
            w.state.slotTable.SetDiskId(slot, "OLD" + ThreeDigits(slot), SlotChange::DiskIdRead);
        }
        if (failing == 500) {
            w.devices.Inject(Fault{FaultOp::Read, 501, "", EIO});
        } else {
            ::truncate(w.store.c_str(), static_cast<off_t>(SlotOffset(600) + 100));
        }
        EXPECT_EQ(LoadDiskIds(w.ctx, w.state.SelectedStore()), Outcome::Incomplete);
        const SlotTable& t = w.state.slotTable;
        EXPECT_EQ(std::tuple(t.Slot(failing - 1).diskId->substr(0, 3), t.Slot(failing).diskId,
                             t.storeId, w.state.status.actionLabel, w.devices.Count(FaultOp::Read),
                             w.devices.OpenHandles()),
                  std::tuple("NEW", "OLD" + ThreeDigits(failing), "USBSTORE",
                             "Loading Disk IDs Failed", failing + 1, 0));
        w.ExpectReport(report.c_str());
        ::truncate(w.store.c_str(), static_cast<off_t>(SlotOffset(600) + 100));
        EXPECT_FALSE(LoadSelectedStore(w.ctx));
        EXPECT_EQ(w.state.selectedDevice, 0) << "the store is not loaded";
    }
}

TEST(DiskIds, AnUnopenableDeviceIsReportedAndTheWindowLeftAlone) {
    StoreWorld w;
    w.state.slotTable.SetDiskId(3, "KEEP ME    ", SlotChange::DiskIdRead);
    w.model.frameCaption = " Disk Selection ";
    w.devices.Inject(Fault{FaultOp::Open, 1, "", EACCES});
    EXPECT_FALSE(LoadSelectedStore(w.ctx));
    w.ExpectReport("GetHandle");
    EXPECT_EQ(std::tuple(w.state.status.actionLabel, w.model.grid.Cell(3, 1), w.model.frameCaption,
                         w.state.selectedDevice),
              std::tuple("Loading Disk IDs", " KEEP ME     ", " Disk Selection ", 1));
}

}  // namespace
}  // namespace quarnex
