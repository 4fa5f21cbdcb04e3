#include "image/image_import.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "frame/layout.hpp"
#include "frame/progress.hpp"
#include "frame/text.hpp"
#include "image_test_files.hpp"
#include "support/test_world.hpp"

namespace quarnex {
namespace {

using testing::Bytes;
using testing::Fault;
using testing::FaultOp;
using testing::ImageOf;
using testing::PatternImage;
using testing::Range;
using testing::TestWorld;

constexpr std::size_t kBlock = kTrackBytes;

// A world whose internal image holds old bytes and whose image state tells
// an earlier import, so that every change shows.
struct ImportWorld : TestWorld {
    ImportWorld() {
        testing::FillImage(state, old);
        state.ImageSourceKind = SourceUsbSlot;
        state.DiskSources[0] = "earlier source";
        state.DiskDescriptions[0] = "earlier description";
        state.window.status.bufferCaption = "earlier source";
    }
    // A file in a folder deep enough that labels show it shortened.
    std::string ImageFile(const Bytes& bytes) {
        const std::string folder = dir / "floppy images kept for the tests";
        std::filesystem::create_directories(folder);
        const std::string path = folder + "/some disk.img";
        testing::WriteFileBytes(path, bytes);
        return path;
    }
    void ExpectStateUnchanged() const {
        EXPECT_EQ(ImageOf(state), old);
        EXPECT_EQ(state.ImageSourceKind, SourceUsbSlot);
        EXPECT_EQ(state.DiskSources[0], "earlier source");
    }
    // A failed import: the blocks read so far are new, the image is marked
    // unreliable, its source stays, its description is gone.
    void ExpectStoppedAfter(const Bytes& disk, std::size_t blocks) const {
        const Bytes image = ImageOf(state);
        EXPECT_EQ(Range(image, 0, blocks * kBlock), Range(disk, 0, blocks * kBlock));
        EXPECT_EQ(Range(image, blocks * kBlock, kImageBytes),
                  Range(old, blocks * kBlock, kImageBytes));
        EXPECT_EQ(state.window.status.bufferCaption, "... ? ...");
        EXPECT_TRUE(state.window.status.bufferOpaque);
        EXPECT_EQ(state.ImageSourceKind, SourceUsbSlot);
        EXPECT_EQ(state.DiskSources[0], "earlier source");
        EXPECT_EQ(state.DiskDescriptions[0], "");
        EXPECT_FALSE(state.window.menus.busy);
        EXPECT_FALSE(state.CancelRequested);
    }
    Bytes old = PatternImage(200);
};

TEST(ImportFile, ReadsEveryBlockAndRecordsTheSource) {
    ImportWorld w;
    Bytes disk = PatternImage(1);
    testing::PutLabel(disk, "MYDISK     ");
    const std::string file = w.ImageFile(disk);
    ASSERT_NE(ShortenPath(file), file);

    w.ui.fileAnswers.push_back(file);
    std::string path;
    EXPECT_TRUE(fntImportFromFlpyImag(w.ctx, path));

    EXPECT_EQ(path, file) << "the chosen name goes back to the caller";
    ASSERT_EQ(w.ui.fileDialogs.size(), 1u);
    const FileDialogRequest& dialog = w.ui.fileDialogs[0];
    EXPECT_EQ(dialog.title, "Import Floppy Image");
    EXPECT_EQ(dialog.fileName, "");
    EXPECT_EQ(dialog.defaultExtension, "img");
    EXPECT_EQ(dialog.filter, "Image Files (*.img)|*.img|All Files (*.*)|*.*");
    EXPECT_EQ(dialog.filterIndex, 1);
    EXPECT_EQ(dialog.options, 0x1806u);

    EXPECT_EQ(ImageOf(w.state), disk);
    EXPECT_EQ(w.state.ImageSourceKind, SourceImageFile);
    EXPECT_EQ(w.state.DiskSources[0], file);
    EXPECT_EQ(w.state.DiskDescriptions[0], "");
    const StatusStrip& status = w.state.window.status;
    EXPECT_EQ(status.bufferCaption, ShortenPath(file));
    EXPECT_FALSE(status.bufferOpaque);
    EXPECT_EQ(status.actionLabel, "Import of Disk Image " + ShortenPath(file));
    EXPECT_EQ(status.progressLabel, "Progress      Finished");
    EXPECT_EQ(w.ui.bufferCaptions, (std::vector<std::string>{"...", ShortenPath(file)}))
        << "a file import shows no track numbers";
    EXPECT_TRUE(w.ui.messages.empty());
    EXPECT_FALSE(w.state.window.menus.busy);

    // One request per block, in order, without seeking.
    EXPECT_EQ(w.devices.Count(FaultOp::Read), 160);
    EXPECT_EQ(w.devices.Count(FaultOp::Seek), 0);
    EXPECT_EQ(w.devices.OpenHandles(), 0);
}

TEST(ImportFile, RefusalsAndCancelsChangeNothing) {
    ImportWorld w;
    const std::string shortFile = w.ImageFile(Bytes(kImageBytes - 1, 0x11));
    std::string path = shortFile;
    EXPECT_FALSE(fntImportFromFlpyImag(w.ctx, path));
    ASSERT_EQ(w.ui.messages.size(), 1u);
    EXPECT_EQ(w.ui.messages[0].title, "Image File Length Invalid");
    EXPECT_EQ(w.ui.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(w.ui.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(w.ui.messages[0].text,
              "Not a 1.44 MB Floppy Image File.\r\n" + shortFile + "\r\nFile Length = 1,474,559");

    const std::string emptyFile = w.dir / "empty.img";
    testing::WriteFileBytes(emptyFile, {});
    path = emptyFile;
    EXPECT_FALSE(fntImportFromFlpyImag(w.ctx, path));
    ASSERT_EQ(w.ui.messages.size(), 2u);
    EXPECT_EQ(w.ui.messages[1].text,
              "Not a 1.44 MB Floppy Image File.\r\n" + emptyFile + "\r\nFile Length = 0");
    EXPECT_EQ(w.devices.Count(FaultOp::Open), 0) << "a wrong length is refused before opening";

    // The dialog cancelled: silent.
    path.clear();
    EXPECT_FALSE(fntImportFromFlpyImag(w.ctx, path));
    EXPECT_EQ(w.ui.messages.size(), 2u);
    EXPECT_EQ(path, "");

    // A file that cannot be opened: the open's own report.
    const std::string locked = w.ImageFile(PatternImage(3));
    w.devices.Inject(Fault{FaultOp::Open, 1, "some disk", EACCES, 0});
    path = locked;
    EXPECT_FALSE(fntImportFromFlpyImag(w.ctx, path));
    ASSERT_EQ(w.ui.messages.size(), 3u);
    EXPECT_EQ(w.ui.messages[2].text,
              "Error # 0x8004000D was generated by GetHandle\r\nPermission denied\r\n"
              "An error occurred when attempting to get a handle for " +
                  locked);

    w.ExpectStateUnchanged();
    EXPECT_EQ(w.state.DiskDescriptions[0], "earlier description");
    EXPECT_EQ(w.state.window.status.bufferCaption, "earlier source");
    EXPECT_FALSE(w.state.window.status.bufferOpaque);
    EXPECT_FALSE(w.state.window.menus.busy);
    EXPECT_EQ(w.devices.OpenHandles(), 0);
}

TEST(ImportFile, AMissingFileEndsInTheTrappedErrorReport) {
    ImportWorld w;
    std::string path = w.dir / "not there.img";
    EXPECT_FALSE(fntImportFromFlpyImag(w.ctx, path));
    ASSERT_EQ(w.ui.messages.size(), 1u);
    EXPECT_EQ(w.ui.messages[0].title, "Error");
    EXPECT_EQ(w.ui.messages[0].text,
              "Error # 0x80040002 was generated by QrnMfntImportFromFlpyImag.FileLen\r\n"
              "No such file or directory");
    EXPECT_EQ(w.state.window.status.bufferCaption, "... ? ...");
    EXPECT_TRUE(w.state.window.status.bufferOpaque);
    w.ExpectStateUnchanged();
}

TEST(ImportDrive, DriveTextKindAndLabelOfTheSource) {
    struct Case {
        std::string path;
        bool driveB;
        std::string label;
        std::string source;
        ImageSource kind;
    };
    const std::vector<Case> cases = {
        {"\\\\.\\b:", true, "MYDISK     ", "B: [MYDISK     ]", SourceFloppyB},
        {"\\\\.\\A:", false, std::string(11, ' '), "A: [-----------]", SourceFloppyA},
        {"\\\\.\\a:", false, "BAD\xE5LABEL  ", "A: [-----------]", SourceFloppyA},
        {"\\\\.\\b:", true, std::string("NUL\0LABEL  ", 11), "B: [-----------]", SourceFloppyB},
        {"\\\\.\\a:", false, "  TILDE~\x7F  ", "A: [  TILDE~\x7F  ]", SourceFloppyA},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        ImportWorld w;
        Bytes disk = PatternImage(9);
        testing::PutLabel(disk, c.label);
        const std::string device = w.dir / (c.driveB ? "fd1" : "fd0");
        testing::WriteFileBytes(device, disk);
        (c.driveB ? w.drives.floppyB : w.drives.floppyA) = device;

        std::string path = c.path;
        EXPECT_TRUE(fntImportFromFlpyImag(w.ctx, path));
        EXPECT_EQ(ImageOf(w.state), disk);
        EXPECT_EQ(w.state.ImageSourceKind, c.kind);
        EXPECT_EQ(w.state.DiskSources[0], c.source);
        EXPECT_EQ(w.state.DiskDescriptions[0], "");
        EXPECT_EQ(w.state.window.status.bufferCaption, c.source);
        EXPECT_FALSE(w.state.window.status.bufferOpaque);
        const std::string driveText = c.driveB ? "B:" : "A:";
        EXPECT_EQ(w.state.window.status.actionLabel, "Import of Physical Disk " + driveText);
        // "...", then every track, then the source.
        ASSERT_EQ(w.ui.bufferCaptions.size(), 162u);
        EXPECT_EQ(w.ui.bufferCaptions[1], "Reading Track 0");
        EXPECT_EQ(w.ui.bufferCaptions[160], "Reading Track 159");
        EXPECT_TRUE(w.ui.messages.empty());
        EXPECT_EQ(w.devices.OpenHandles(), 0);
    }
}

TEST(ImportDrive, NoDiskAndWrongDiskPromptsWithRetryAndCancel) {
    {
        SCOPED_TRACE("no disk: three opens a second apart, Retry, three more, Cancel");
        ImportWorld w;
        w.ui.messageAnswers = {MessageAnswer::Retry, MessageAnswer::Cancel};
        std::string path = "\\\\.\\a:";
        EXPECT_FALSE(fntImportFromFlpyImag(w.ctx, path));
        EXPECT_EQ(w.devices.Count(FaultOp::Open), 6);
        EXPECT_EQ(w.clock.sleeps, std::vector<double>(6, 1.0));
        ASSERT_EQ(w.ui.messages.size(), 2u);
        for (const MessageRequest& m : w.ui.messages) {
            EXPECT_EQ(m.title, "(I1) Importing Image From Drive A:");
            EXPECT_EQ(m.text, "Insert a 1.44 MB Floppy Disk Into Drive A:");
            EXPECT_EQ(m.buttons, MessageButtons::RetryCancel);
            EXPECT_EQ(m.icon, MessageIcon::None);
        }
        w.ExpectStateUnchanged();
        EXPECT_EQ(w.state.window.status.bufferCaption, "earlier source");
    }
    {
        SCOPED_TRACE("the disk arrives after Retry");
        ImportWorld w;
        const Bytes disk = PatternImage(4);
        w.drives.floppyB = w.dir / "fd1";
        testing::WriteFileBytes(w.drives.floppyB, disk);
        for (int n = 1; n <= 3; ++n) {
            w.devices.Inject(Fault{FaultOp::Open, n, "fd1", ENOMEDIUM, 0});
        }
        w.ui.messageAnswers = {MessageAnswer::Retry};
        std::string path = "\\\\.\\b:";
        EXPECT_TRUE(fntImportFromFlpyImag(w.ctx, path));
        EXPECT_EQ(w.ui.MessageTitles(),
                  std::vector<std::string>{"(I1) Importing Image From Drive B:"});
        EXPECT_EQ(w.devices.Count(FaultOp::Open), 4);
        EXPECT_EQ(ImageOf(w.state), disk);
        EXPECT_EQ(w.devices.OpenHandles(), 0);
    }
    {
        SCOPED_TRACE("wrong geometry: three checks five seconds apart, Retry, Cancel");
        ImportWorld w;
        w.drives.floppyA = w.dir / "fd0";
        testing::WriteFileBytes(w.drives.floppyA, PatternImage(5, kImageBytes + kBlock));
        w.ui.messageAnswers = {MessageAnswer::Retry, MessageAnswer::Cancel};
        std::string path = "\\\\.\\a:";
        EXPECT_FALSE(fntImportFromFlpyImag(w.ctx, path));
        EXPECT_EQ(w.devices.Count(FaultOp::Open), 1) << "Retry checks the same handle";
        EXPECT_EQ(w.clock.sleeps, std::vector<double>(6, 5.0));
        EXPECT_EQ(w.ui.MessageTitles(),
                  std::vector<std::string>(2, "(I2) Importing Image From Drive A:"));
        EXPECT_EQ(w.ui.messages[1].text, "Insert a 1.44 MB Floppy Disk Into Drive A:");
        EXPECT_EQ(w.devices.Count(FaultOp::Read), 0);
        EXPECT_EQ(w.devices.OpenHandles(), 0);
        w.ExpectStateUnchanged();
        EXPECT_FALSE(w.state.window.menus.busy);
    }
}

TEST(ImportRetries, SilentUntilTheLastAttemptReportsOnce) {
    {
        SCOPED_TRACE("block 100 read on the third retry attempt");
        ImportWorld w;
        const Bytes disk = PatternImage(6);
        std::string path = w.ImageFile(disk);
        // Read 101 is block 100; then per attempt a sector-0 read and a block
        // read. Late enough that the 9 s of pauses stay within the time rule.
        w.devices.Inject(Fault{FaultOp::Read, 101, "", EIO, 0});
        w.devices.Inject(Fault{FaultOp::Read, 103, "", EIO, 0});  // attempt 1, block
        w.devices.Inject(Fault{FaultOp::Read, 104, "", 0, 100});  // attempt 2, short sector
        EXPECT_TRUE(fntImportFromFlpyImag(w.ctx, path));
        EXPECT_TRUE(w.ui.messages.empty());
        EXPECT_EQ(w.clock.sleeps, std::vector<double>(3, 3.0));
        EXPECT_EQ(ImageOf(w.state), disk) << "reading goes on after the retried block";
        EXPECT_EQ(w.devices.Count(FaultOp::Read), 160 + 5);
        EXPECT_EQ(w.state.ImageSourceKind, SourceImageFile);
        // Only the retries seek: sector 0, then the block's own position.
        std::vector<std::size_t> seeks;
        for (const testing::OpRecord& record : w.devices.Log()) {
            if (record.op == FaultOp::Seek) {
                seeks.push_back(record.count);
            }
        }
        EXPECT_EQ(seeks, (std::vector<std::size_t>{0, 100 * kBlock, 0, 0, 100 * kBlock}));
    }
    {
        SCOPED_TRACE("the pauses of an early retry count against the time rule");
        ImportWorld w;
        std::string path = w.ImageFile(PatternImage(12));
        // Block 1 read on the second attempt, after two 3 s pauses.
        w.devices.Inject(Fault{FaultOp::Read, 2, "", EIO, 0});
        w.devices.Inject(Fault{FaultOp::Read, 4, "", EIO, 0});
        EXPECT_FALSE(fntImportFromFlpyImag(w.ctx, path));
        EXPECT_EQ(w.ui.MessageTitles(), std::vector<std::string>{"Importing Image From Drive "});
        EXPECT_EQ(w.devices.Count(FaultOp::Read), 6 + 4);
    }
    {
        SCOPED_TRACE("all four attempts fail");
        ImportWorld w;
        const Bytes disk = PatternImage(7);
        std::string path = w.ImageFile(disk);
        for (int n : {4, 6, 8, 10, 12}) {
            w.devices.Inject(Fault{FaultOp::Read, n, "", EIO, 0});
        }
        EXPECT_FALSE(fntImportFromFlpyImag(w.ctx, path));
        ASSERT_EQ(w.ui.messages.size(), 1u);
        EXPECT_EQ(w.ui.messages[0].text,
                  "Error # 0x80040005 was generated by QrnMfntReadPtr.ReadFile\r\n"
                  "Input/output error\r\nAn error occurred when attempting to Read");
        EXPECT_EQ(w.clock.sleeps, std::vector<double>(4, 3.0));
        EXPECT_EQ(w.devices.Count(FaultOp::Read), 12);
        w.ExpectStoppedAfter(disk, 3);
        EXPECT_EQ(w.devices.OpenHandles(), 0);
    }
}

TEST(ImportTiming, SlowMediaStopAfterTheSixthBlockEvenAcrossMidnight) {
    struct Case {
        const char* name;
        double start;
        double perBlock;
        bool completes;
    };
    const Case cases[] = {
        {"0.8 s a block", 12 * 3600.0, 0.8, false},
        {"exactly 0.75 s a block is allowed", 12 * 3600.0, 0.75, true},
        {"1 s a block across midnight", 86400.0 - 2.0, 1.0, false},
        {"fast across midnight", 86400.0 - 2.0, 0.01, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImportWorld w;
        w.clock.Set(c.start);
        const Bytes disk = PatternImage(8);
        std::string path = w.ImageFile(disk);
        w.devices.After(FaultOp::Read, 0, [&](int) { w.clock.Advance(c.perBlock); });
        EXPECT_EQ(fntImportFromFlpyImag(w.ctx, path), c.completes);
        if (c.completes) {
            EXPECT_TRUE(w.ui.messages.empty());
            EXPECT_EQ(ImageOf(w.state), disk);
            continue;
        }
        ASSERT_EQ(w.ui.messages.size(), 1u);
        EXPECT_EQ(w.ui.messages[0].title, "Importing Image From Drive ");
        EXPECT_EQ(w.ui.messages[0].icon, MessageIcon::None);
        EXPECT_EQ(w.ui.messages[0].text,
                  "Excessive Read Time May Indicate\r\nDisk Is Not A Formatted 1.44MB Disk."
                  "\r\n\r\nImport Is Terminated.");
        EXPECT_EQ(w.devices.Count(FaultOp::Read), 6);
        w.ExpectStoppedAfter(disk, 6);
        EXPECT_EQ(w.devices.OpenHandles(), 0);
    }
}

TEST(ImportTiming, RetriedBlocksAreNotTimed) {
    ImportWorld w;
    const Bytes disk = PatternImage(10);
    std::string path = w.ImageFile(disk);
    w.devices.Inject(Fault{FaultOp::Read, 6, "", EIO, 0});  // block 5 needs a retry (3 s)
    EXPECT_TRUE(fntImportFromFlpyImag(w.ctx, path));
    EXPECT_TRUE(w.ui.messages.empty());
    EXPECT_EQ(ImageOf(w.state), disk);
}

TEST(ImportCancel, StopsAfterTheCurrentBlock) {
    ImportWorld w;
    const Bytes disk = PatternImage(11);
    w.drives.floppyA = w.dir / "fd0";
    testing::WriteFileBytes(w.drives.floppyA, disk);
    w.ui.onPump = [&](int pumps) {
        if (pumps == 3) {
            CancelCommand(w.ctx);  // after block 2 was shown
        }
    };
    std::string path = "\\\\.\\a:";
    EXPECT_FALSE(fntImportFromFlpyImag(w.ctx, path));
    EXPECT_TRUE(w.ui.messages.empty());
    EXPECT_EQ(w.devices.Count(FaultOp::Read), 4);
    w.ExpectStoppedAfter(disk, 4);
    EXPECT_EQ(w.devices.OpenHandles(), 0);
}

}  // namespace
}  // namespace quarnex
