#include "store/slot_transfer.hpp"

#include <gtest/gtest.h>

#include "commands/main_commands.hpp"

#include <algorithm>
#include <cstring>
#include <optional>
#include <tuple>

#include "fat12/fat12_volume.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

using testing::Bytes;
using testing::BytesOf;
using testing::Fault;
using testing::FaultOp;
using testing::Pattern;
using testing::ReadFileBytes;
using testing::StoreFault;
using testing::StoreWorld;

constexpr unsigned char kOldImageByte = 0xEE;

void FillImage(StoreWorld& w, unsigned char value) {
    std::memset(w.Image().data(), value, kImageBytes);
}

void PutImage(StoreWorld& w, const Bytes& image) {
    std::memcpy(w.Image().data(), image.data(), kImageBytes);
}

// Leading blocks of the internal image that hold slot n's data, the rest
// holding kOldImageByte; -1 when neither.
int BlocksFromSlot(StoreWorld& w, int n) {
    const Bytes slot = ReadFileBytes(w.store, SlotOffset(n), kImageBytes);
    const Bytes old(kTrackBytes, kOldImageByte);
    int fromSlot = 0;
    for (std::size_t k = 0; k < kTracksPerImage; ++k) {
        const Bytes block = BytesOf(w.Image(), k * kTrackBytes, kTrackBytes);
        if (fromSlot == static_cast<int>(k) &&
            std::equal(block.begin(), block.end(), slot.begin() + k * kTrackBytes)) {
            ++fromSlot;
        } else if (block != old) {
            return -1;
        }
    }
    return fromSlot;
}

// Texts of the internal image (row 0) and of slot n.
auto Texts(const StoreWorld& w, std::size_t n) {
    const SlotTable& t = w.state.slotTable;
    return std::tuple(t.DiskDescriptions[0], t.DiskSources[0], t.DiskDescriptions[n],
                      t.DiskSources[n], t.Cell(static_cast<int>(n), 2));
}

TEST(ImportFromSlot, ReadsExactlyTheImagePartOfSlotOne) {
    StoreWorld w;
    // Bytes around slot 1, so reading a byte too early or too late shows.
    testing::PutPattern(w.store, kSlotStride - 4096, kSlotStride + 8192, 3);
    FillImage(w, kOldImageByte);
    w.state.slotTable.DiskDescriptions[1] = "two\r\nlines";
    w.state.slotTable.DiskSources[1] = "/images/a.img";

    EXPECT_EQ(ImportFromSlot(w.ctx, 1), OperationResult::Done());

    EXPECT_EQ(BytesOf(w.Image(), 0, kImageBytes), Pattern(1572864, kImageBytes, 3))
        << "the image must be device bytes 1,572,864 to 3,047,423";
    EXPECT_EQ(w.Seeks(), std::vector<std::uint64_t>{1572864}) << "one positioning only";
    EXPECT_TRUE(w.ui.messages.empty());
    EXPECT_EQ(w.ui.actionLabels.back(), "Import From USB Disk(001) ");
    EXPECT_EQ(std::tie(w.state.status.bufferCaption, w.state.status.bufferOpaque,
                       w.state.status.progressLabel, w.state.ImageSourceKind),
              std::tuple("USB Disk(001)   [sdb  (" + w.store + ")]", false,
                         "Progress      Finished", SourceUsbSlot));
    EXPECT_EQ(Texts(w, 1),
              std::tuple("two\r\nlines", "/images/a.img", "two\r\nlines", "/images/a.img", ""));
    w.ExpectSettled();

    // Slots outside 1..999 are refused without touching anything.
    const OperationResult noSlot = OperationResult::NotStarted(NotStartedReason::NoTarget);
    EXPECT_EQ(ImportFromSlot(w.ctx, 0), noSlot);
    EXPECT_EQ(ExportToSlot(w.ctx, 1000), noSlot);
    EXPECT_EQ(w.devices.Count(FaultOp::Open), 1);
}

TEST(ImportFromSlot, FailuresAndCancelMarkTheImageUnreliable) {
    struct Case {
        const char* name;
        std::optional<Fault> fault;
        int cancelAfterRead;  // 0 = no cancel
        int blocksRead;       // blocks of the slot found in the image; -1: never opened
        const char* reportSource;
        OperationResult result;
    };
    using enum FaultOp;
    const OperationResult failed = OperationResult::StoppedAt(9, StopCause::Failure);
    const OperationResult cancelled = OperationResult::StoppedAt(9, StopCause::Cancel);
    const Case cases[] = {
        {"device cannot be opened", StoreFault(Open, 1, EACCES), 0, -1, "get a handle for ",
         OperationResult::NotStarted(NotStartedReason::Failure)},
        {"first read fails", StoreFault(Read, 1), 0, 0, "ReadPtr.ReadFile", failed},
        {"read 80 fails", StoreFault(Read, 80), 0, 79, "ReadPtr.ReadFile", failed},
        {"seek fails", StoreFault(Seek, 1, EINVAL), 0, 0, "SetFilePointer", failed},
        {"cancel after read 1", std::nullopt, 1, 1, nullptr, cancelled},
        {"cancel after read 160", std::nullopt, 160, 160, nullptr, cancelled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StoreWorld w;
        testing::PutPattern(w.store, SlotOffset(9), kImageBytes, 4);
        FillImage(w, kOldImageByte);
        w.state.slotTable.DiskDescriptions[0] = "old";
        w.state.slotTable.DiskSources[0] = "old source";
        w.state.slotTable.DiskDescriptions[9] = "slot 9";
        w.state.ImageSourceKind = SourceImageFile;
        w.state.status.bufferCaption = "Image.img";
        w.Arm(c.fault, FaultOp::Read, c.cancelAfterRead);

        EXPECT_EQ(ImportFromSlot(w.ctx, 9), c.result);

        // Once opened, the image is unreliable whatever was read into it.
        const bool opened = c.blocksRead >= 0;
        EXPECT_EQ(BlocksFromSlot(w, 9), std::max(c.blocksRead, 0));
        EXPECT_EQ(std::tie(w.state.status.bufferCaption, w.state.status.bufferOpaque,
                           w.state.status.progressLabel, w.state.ImageSourceKind),
                  std::tuple(opened ? "... ? ..." : "Image.img", opened,
                             opened ? "Progress      Finished" : "Progress", SourceImageFile));
        EXPECT_EQ(Texts(w, 9), opened ? std::tuple("", "", "slot 9", "", "")
                                      : std::tuple("old", "old source", "slot 9", "", ""));
        w.ExpectReport(c.reportSource);
        if (!opened) {
            EXPECT_NE(w.OnlyMessage().find(w.store), std::string::npos);
        }
        w.ExpectSettled();
    }
}

TEST(ExportToSlot, WritesOnlyTheImagePartOfSlot999) {
    StoreWorld w;
    // The 1000 bytes before slot 999 and its whole gap carry a pattern that
    // must survive.
    const std::uint64_t slot999 = 1571291136;
    testing::PutPattern(w.store, slot999 - 1000, kSlotStride + 1000, 5);
    const Bytes image = Pattern(0, kImageBytes, 9);
    PutImage(w, image);
    w.state.slotTable.DiskDescriptions[0] = "first\r\nsecond";
    w.state.slotTable.DiskSources[0] = "/images/a.img";
    const int& flushesBeforeFinished = w.FlushesAtFinished(w.store);

    EXPECT_EQ(ExportToSlot(w.ctx, 999), OperationResult::Done());

    EXPECT_EQ(ReadFileBytes(w.store, slot999, kImageBytes), image)
        << "bytes 1,571,291,136 to 1,572,765,695 hold the image";
    EXPECT_EQ(ReadFileBytes(w.store, 1572765696, kSlotGapBytes),
              Pattern(1572765696, kSlotGapBytes, 5))
        << "the gap is untouched";
    EXPECT_EQ(ReadFileBytes(w.store, slot999 - 1000, 1000), Pattern(slot999 - 1000, 1000, 5));
    EXPECT_GE(flushesBeforeFinished, 1) << "Finished shown before the data was flushed";
    EXPECT_TRUE(w.ui.messages.empty());
    EXPECT_EQ(w.ui.actionLabels.back(), "Export To USB Disk(999) ");
    EXPECT_EQ(Texts(w, 999), std::tuple("first\r\nsecond", "/images/a.img", "first\r\nsecond",
                                        "/images/a.img", "first\r\nsecond"));
    const std::string disks = w.Slot0File();
    EXPECT_NE(disks.find("999 SRC>/images/a.img\r\n999  ID>[-----------]\r\n999   1>first\r\n"
                         "999   2>second\r\n"),
              std::string::npos)
        << disks;
    w.ExpectSettled();
}

TEST(ExportToSlot, FailuresAndCancelLeaveTheSlotUnwrittenOrPartlyWritten) {
    struct Case {
        const char* name;
        std::optional<Fault> fault;
        int cancelAfterWrite;
        int blocksWritten;  // -1: the device was never written, nor DISKS.TXT
        const char* reportSource;
        OperationResult result;
    };
    using enum FaultOp;
    const OperationResult notStarted = OperationResult::NotStarted(NotStartedReason::Failure);
    const OperationResult failed = OperationResult::StoppedAt(12, StopCause::Failure);
    const OperationResult cancelled = OperationResult::StoppedAt(12, StopCause::Cancel);
    // The store opened for writing as the format and the whole-store import open it.
    const Case cases[] = {
        {"volume cannot be opened", StoreFault(Open, 1, EACCES), 0, -1, "by GetHandle", notStarted},
        {"volume cannot be dismounted", StoreFault(Dismount, 1, EBUSY), 0, -1, "by UnmountVolume",
         notStarted},
        {"device cannot be opened", StoreFault(Open, 2, EACCES), 0, -1, "by GetHandle", notStarted},
        {"first write fails", StoreFault(Write, 1), 0, 0, "WritePtr.WriteFile", failed},
        {"last write fails", StoreFault(Write, 160, ENOSPC), 0, 159, "WritePtr.WriteFile", failed},
        {"flush fails", StoreFault(Flush, 1), 0, 160, "CloseDevHandle.Flush", failed},
        {"cancel after write 1", std::nullopt, 1, 1, nullptr, cancelled},
        {"cancel after write 160", std::nullopt, 160, 160, nullptr, cancelled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StoreWorld w;
        testing::PutPattern(w.store, SlotOffset(12), kSlotStride, 7);
        const Bytes slot0 = ReadFileBytes(w.store, 0, kImageBytes);
        const Bytes image = Pattern(0, kImageBytes, 8);
        PutImage(w, image);
        w.state.slotTable.DiskDescriptions[0] = "image text";
        w.state.slotTable.DiskSources[0] = "image source";
        w.state.slotTable.DiskDescriptions[12] = "old";
        w.state.slotTable.DiskSources[12] = "old source";
        w.state.slotTable.SetCell(12, 2, "old");
        w.Arm(c.fault, FaultOp::Write, c.cancelAfterWrite);

        EXPECT_EQ(ExportToSlot(w.ctx, 12), c.result);

        const bool written = c.blocksWritten >= 0;
        const auto end = static_cast<std::ptrdiff_t>(std::max(c.blocksWritten, 0) * kTrackBytes);
        Bytes expected = Pattern(SlotOffset(12), kSlotStride, 7);
        std::copy(image.begin(), image.begin() + end, expected.begin());
        EXPECT_TRUE(ReadFileBytes(w.store, SlotOffset(12), kSlotStride) == expected);
        EXPECT_EQ(Texts(w, 12),
                  written ? std::tuple("image text", "image source", "", "", "image text")
                          : std::tuple("image text", "image source", "old", "old source", "old"));
        if (written) {
            const std::string disks = w.Slot0File();
            EXPECT_NE(disks.find("012   1>image text\r\n"), std::string::npos) << disks;
            EXPECT_EQ(disks.find("SRC>"), std::string::npos) << "the source is forgotten";
        } else {
            EXPECT_TRUE(ReadFileBytes(w.store, 0, kImageBytes) == slot0) << "DISKS.TXT was written";
        }
        w.ExpectReport(c.reportSource);
        w.ExpectSettled();
    }
}

TEST(ExportImageToSlot, ReloadShowsTheImageLabelAndCarriedTexts) {
    for (const bool dismountFails : {false, true}) {
        SCOPED_TRACE(dismountFails);
        StoreWorld w;
        fat12::BuildBlankVolume(w.Image(), "NEWDISK");
        w.state.slotTable.DiskDescriptions[0] = "line one\r\nline two";
        w.state.slotTable.DiskSources[0] = "/images/new.img";
        if (dismountFails) {
            w.devices.Inject(StoreFault(FaultOp::Dismount, 1, EBUSY));
        }
        w.state.SelectedDisk = 5;

        EXPECT_EQ(ExportImageToSlot(w.ctx).Complete(), !dismountFails);

        // Not written, the command still saves and reloads what it had.
        const SlotTable& t = w.state.slotTable;
        EXPECT_EQ(std::tie(t.Cell(5, 1), t.DiskDescriptions[5], t.DiskSources[5], t.Cell(5, 2)),
                  dismountFails ? std::tuple(" ----------- ", "", "", "")
                                : std::tuple(" NEWDISK     ", "line one\r\nline two",
                                             "/images/new.img", "line one\r\nline two"));
        EXPECT_EQ(w.Slot0File().rfind("Disk Descriptions For USB Image File 'sdb/DISKS.TXT'", 0),
                  0u);
        w.ExpectReport(dismountFails ? "UnmountVolume" : nullptr);
        w.ExpectSettled();
    }
}

TEST(SlotTransferOnABlockDevice, ExportThenImportRoundTripsThroughALoopDevice) {
    StoreWorld w;
    testing::LoopDevice loop(w.store);
    if (!loop.Attached()) {
        GTEST_SKIP() << loop.Problem();
    }
    const std::string name = w.SelectLoopDevice(loop);
    testing::PutPattern(w.store, SlotOffset(321) + kImageBytes, kSlotGapBytes, 2);
    const Bytes image = Pattern(0, kImageBytes, 11);
    PutImage(w, image);
    w.state.slotTable.DiskDescriptions[0] = "from the loop test";

    EXPECT_TRUE(ExportToSlot(w.ctx, 321).Complete());
    FillImage(w, kOldImageByte);
    EXPECT_TRUE(ImportFromSlot(w.ctx, 321).Complete());

    EXPECT_EQ(BytesOf(w.Image(), 0, kImageBytes), image);
    EXPECT_EQ(ReadFileBytes(w.store, SlotOffset(321), kImageBytes), image)
        << "the flush on close put the slot on the backing file";
    EXPECT_EQ(ReadFileBytes(w.store, SlotOffset(321) + kImageBytes, kSlotGapBytes),
              Pattern(SlotOffset(321) + kImageBytes, kSlotGapBytes, 2));
    EXPECT_EQ(w.state.status.bufferCaption,
              "USB Disk(321)   [" + name + "  (" + loop.Path() + ")]");
    EXPECT_NE(w.Slot0File().find("321   1>from the loop test\r\n"), std::string::npos);
    EXPECT_TRUE(w.ui.messages.empty());
    w.ExpectSettled();
}

}  // namespace
}  // namespace quarnex
