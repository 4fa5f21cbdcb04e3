// The internal floppy image to and from files and drives (the file dialog when
// no target is named, the prompts for a drive without a usable disk, real
// drives, transfers that stop part way), zeroed and formatted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "commands/activity_text.hpp"
#include "commands/main_commands.hpp"
#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "fat12/boot_sector.hpp"
#include "fat12/dir_entry.hpp"
#include "fat12/volume_serial.hpp"
#include "image/image_result.hpp"
#include "state/progress.hpp"
#include "support/loop_device.hpp"
#include "support/test_world.hpp"

namespace quarnex {
namespace {

using namespace testing;

using Bytes = std::vector<unsigned char>;
using Strings = std::vector<std::string>;

const ImageTransferRequest kDriveA{.drive = FloppyDrive::A};

// Every block differs from every other and from other seeds.
Bytes PatternImage(unsigned seed, std::size_t size = kImageBytes) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<unsigned char>((i / kTrackBytes * 7 + i * 13 + seed) & 0xFF);
    }
    return bytes;
}

Bytes Labelled(Bytes image, const std::string& label) {
    std::copy(label.begin(), label.end(), image.begin() + fat12::kBootLabelOffset);
    return image;
}

// The first blocks of head, then the rest of tail.
Bytes Spliced(const Bytes& head, const Bytes& tail, std::size_t blocks) {
    Bytes bytes = tail;
    std::copy(head.begin(), head.begin() + static_cast<std::ptrdiff_t>(blocks * kTrackBytes),
              bytes.begin());
    return bytes;
}

Bytes ImageOf(const ProgramState& state) {
    const auto* data = reinterpret_cast<const unsigned char*>(state.imageBuffer.Span().data());
    return Bytes(data, data + kImageBytes);
}

// What the window tells of the internal image, with its bytes.
struct ImageState {
    Bytes bytes;
    int kind;  // imageSource
    std::string source, description, caption;
    bool opaque;
    bool operator==(const ImageState&) const = default;
};

ImageState StateOf(const ProgramState& s) {
    const ImageRecord& image = s.slotTable.internalImage;
    return {ImageOf(s),        s.imageSource,          image.source,
            image.description, s.status.bufferCaption, s.status.bufferOpaque};
}

// A result with its action as the front ends name it.
using ShownResult = std::tuple<Outcome, std::string, std::string, std::size_t, bool>;
ShownResult ResultOf(Outcome outcome, const std::string& path, const std::string& action,
                     std::size_t stoppedAt = 0, bool cancelled = false) {
    return {outcome, path, action, stoppedAt, cancelled};
}
ShownResult Shown(const ImageResult& r) {
    return {r.outcome, r.path, ActivityText(r.action), r.stoppedAtTrack, r.cancelled};
}

// The internal image holds old bytes from an earlier import, so that every
// change shows.
struct ImageWorld : TestWorld {
    ImageWorld() {
        std::copy(old.begin(), old.end(),
                  reinterpret_cast<unsigned char*>(state.imageBuffer.Data()));
        state.imageSource = kept.kind;
        state.slotTable.internalImage = {kept.description, kept.source};
        state.status.bufferCaption = kept.caption;
    }
    // A device file holding these bytes stands for drive A: or B:.
    std::string InsertDisk(const Bytes& bytes, bool driveB = false) {
        std::string& drive = driveB ? drives.floppyB : drives.floppyA;
        drive = dir / (driveB ? "fd1" : "fd0");
        WriteFileBytes(drive, bytes);
        return drive;
    }
    // A file in a folder deep enough that labels show it shortened.
    std::string ImageFile(const Bytes& bytes) {
        std::filesystem::create_directories(dir / "floppy images kept for the tests");
        const std::string file = dir / "floppy images kept for the tests/some disk.img";
        WriteFileBytes(file, bytes);
        return file;
    }
    void Inject(FaultOp op, const std::vector<int>& nths, int error = EIO) {
        for (int nth : nths) {
            devices.Inject(Fault{op, nth, "", error, 0});
        }
    }
    const Bytes old = Labelled(PatternImage(200), "EARLIER    ");
    const ImageState kept{
        old, SourceUsbSlot, "earlier source", "earlier description", "earlier source", false};
};

ImageResult Transfer(ImageWorld& w, bool exporting, const ImageTransferRequest& request) {
    return exporting ? ExportImageTo(w.ctx, request) : ImportImageFrom(w.ctx, request);
}

TEST(ImageDialogs, TheChosenFileIsUsedAndACancelIsSilent) {
    for (const bool exporting : {false, true}) {
        SCOPED_TRACE(exporting ? "export" : "import");
        ImageWorld w;
        const std::string file = w.ImageFile(PatternImage(2));
        w.ui.fileAnswers = {file, std::nullopt};
        EXPECT_EQ(Transfer(w, exporting, {}).path, file);
        EXPECT_EQ(ReadFileBytes(file), ImageOf(w.state));
        EXPECT_EQ(Transfer(w, exporting, {}), ImageResult{});
        ASSERT_EQ(w.ui.fileDialogs.size(), 2u);
        EXPECT_EQ(w.ui.fileDialogs[0],
                  (FileDialogRequest{exporting ? "Export Floppy Image" : "Import Floppy Image", "",
                                     "img", "Image Files (*.img)|*.img|All Files (*.*)|*.*", 1,
                                     exporting ? ChosenFile::AnyName : ChosenFile::Existing,
                                     exporting ? ReplacePrompt::Ask : ReplacePrompt::None}));
        EXPECT_TRUE(w.ui.messages.empty());
        w.ExpectSettled();
    }
}

// No disk: three opens a second apart, then the question; a disk that is
// not 1.44 MB: three checks of the same handle five seconds apart, then the
// question. Retry asks again after three more tries; Cancel starts nothing.
TEST(FloppyPrompts, NoDiskAndWrongDiskAskWithRetryAndCancel) {
    // Exporting, the drive, the disk's bytes (0: none), opens, each pause, the title.
    const std::tuple<bool, FloppyDrive, std::size_t, int, double, std::string> cases[] = {
        {false, FloppyDrive::A, 0, 6, 1.0, "(I1) Importing Image From Drive A:"},
        {false, FloppyDrive::A, kImageBytes + kTrackBytes, 1, 5.0,
         "(I2) Importing Image From Drive A:"},
        {true, FloppyDrive::B, 0, 6, 1.0, "(X1) Exporting Image From Drive B:"},
        {true, FloppyDrive::A, 720 * 1024, 1, 5.0, "(X2) Exporting Image To Drive A:"},
    };
    for (const auto& [exporting, drive, diskBytes, opens, pause, title] : cases) {
        SCOPED_TRACE(title);
        ImageWorld w;
        if (diskBytes != 0) {
            w.InsertDisk(PatternImage(5, diskBytes));
        }
        w.ui.messageAnswers = {MessageAnswer::Retry, MessageAnswer::Cancel};
        EXPECT_EQ(Transfer(w, exporting, {.drive = drive}), NotStartedOn(DriveText(drive)));
        EXPECT_EQ(w.devices.Count(FaultOp::Open), opens);
        EXPECT_EQ(w.clock.sleeps, std::vector<double>(6, pause));
        EXPECT_EQ(w.ui.MessageTitles(), Strings(2, title));
        const MessageRequest& m = w.ui.LastMessage();
        EXPECT_EQ(m.text,
                  "Insert a 1.44 MB Floppy Disk Into Drive " + title.substr(title.size() - 2));
        EXPECT_TRUE(m.buttons == MessageButtons::RetryCancel && m.icon == MessageIcon::None);
        EXPECT_EQ(w.devices.Count(FaultOp::Read) + w.devices.Count(FaultOp::Write), 0);
        EXPECT_EQ(StateOf(w.state), w.kept);
        w.ExpectSettled();
    }
}

// Drive A: is a real block device; the export succeeds only if it shows the
// geometry of a 1.44 MB disk.
TEST(FloppyOnLoopDevice, ExportThenImportRoundTrip) {
    ImageWorld w;
    const std::string backing = w.dir / "floppy.img";
    MakeSparseFile(backing, kImageBytes);
    LoopDevice loop(backing);
    if (!loop.Attached()) {
        GTEST_SKIP() << loop.Problem();
    }
    w.drives.floppyA = loop.Path();
    ASSERT_EQ(Transfer(w, true, kDriveA).outcome, Outcome::Complete);
    EXPECT_EQ(ReadFileBytes(backing), w.old) << "on the backing file after the export";
    std::fill_n(w.state.imageBuffer.Data(), kImageBytes, std::byte{0});
    ASSERT_EQ(Transfer(w, false, kDriveA).outcome, Outcome::Complete);
    EXPECT_EQ(StateOf(w.state), (ImageState{w.old, SourceFloppyA, "A: [EARLIER    ]", "",
                                            "A: [EARLIER    ]", false}));
    EXPECT_TRUE(w.ui.messages.empty());
    w.ExpectSettled();
    // The same 1.44 MB in 4096-byte sectors is no floppy disk.
    LoopDevice wide(backing, 4096);
    const OpenResult opened = w.system.Open(wide.Path(), Access::Read, Disposition::OpenExisting);
    ASSERT_NE(opened.file, nullptr) << wide.Problem();
    EXPECT_FALSE(opened.file->HasFloppyGeometry());
}

// The image came from a bare drive; exports never change what the window
// tells of it, except that a complete file export names the file as its
// source instead.
struct ExportWorld : ImageWorld {
    ExportWorld() {
        state.slotTable.internalImage.source = "A:";
        state.status.progressLabel = "Progress       Failed";
    }
    void ExpectImageStateKept(const std::string& source = "A:") const {
        ImageState same = kept;
        same.source = source;
        EXPECT_EQ(StateOf(state), same);
        ExpectSettled();
    }
};

TEST(ExportImage, ACompleteFileExportBecomesTheSourceOfADrivesImage) {
    ExportWorld w;
    const std::string file = w.dir / "new.img";
    const std::string action = "Export To Disk Image " + ShortenPath(file);
    EXPECT_EQ(Shown(ExportImageTo(w.ctx, {.file = file})),
              ResultOf(Outcome::Complete, file, action));
    EXPECT_EQ(std::tie(w.state.status.actionLabel, w.ui.progressLabels.front(),
                       w.state.status.progressLabel),
              std::tuple(action, "Progress        0%", "Progress      Finished"))
        << "no reset before";
    EXPECT_TRUE(w.ui.messages.empty());
    w.ExpectImageStateKept(file);

    ImageWorld other;  // a source that is more than a drive letter stays
    EXPECT_EQ(ExportImageTo(other.ctx, {.file = other.dir / "x.img"}).outcome, Outcome::Complete);
    EXPECT_EQ(StateOf(other.state), other.kept);
    other.state.devices.Row(1).path = file;  // a file that is the selected store is refused
    other.state.selectedDevice = 1;
    EXPECT_EQ(ExportImageTo(other.ctx, {.file = file}).outcome, Outcome::NotStarted);
}

// Not started, or stopped part way: the blocks before the stop are on the
// disk, the rest as before, and "Finished" never shows.
TEST(ExportImage, UnopenableFilesFailedWritesSlowMediaAndFlushes) {
    struct Case {
        const char* name;
        FaultOp op;
        int nth, error;                 // the failing call, 0 for none
        double perWrite, jumpAtBlock7;  // seconds on the clock
        Strings texts;                  // how the messages begin, in order
        std::size_t written, stoppedAt;
    };
    const std::string slow =
        "Excessive Write Time May Indicate\r\nDisk Is Not A Formatted 1.44MB Disk.\r\n\r\n"
        "Export Is Terminated.";
    const std::string locked = "/no/such/dir/locked.img";
    TestWorld sys;  // the system's words for an error
    const std::string failed = ErrorHead(EIO) + "QrnMfntWritePtr.WriteFile\r\n" +
                               sys.devices.ErrorText(EIO) +
                               "\r\nAn error occurred when attempting to Write";
    const std::string noHandle = ErrorHead(EACCES) + "GetHandle\r\n" +
                                 sys.devices.ErrorText(EACCES) +
                                 "\r\nAn error occurred when attempting to get a handle for ";
    const std::string noFlush = ErrorHead(EIO) + "CloseDevHandle.Flush";
    const Case cases[] = {
        {"a file that cannot be opened", FaultOp::Open, 1, EACCES, 0, 0, {noHandle + locked}, 0, 0},
        {"block 7 fails on a slow disk", FaultOp::Write, 8, EIO, 0, 10, {failed, slow}, 7, 7},
        {"slow from the sixth block on", FaultOp::Write, 0, EIO, 0.8, 0, {slow}, 6, 5},
        {"the data does not reach the disk", FaultOp::Flush, 1, EIO, 0, 0, {noFlush}, 160, 160},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExportWorld w;
        const Bytes before(kImageBytes, 0x5A);
        const std::string disk = w.InsertDisk(before);
        if (c.nth != 0) {
            w.Inject(c.op, {c.nth}, c.error);
        }
        w.devices.After(FaultOp::Write, 0, [&](int) { w.clock.Advance(c.perWrite); });
        w.ui.onPump = [&](int pumps) { w.clock.Advance(pumps == 7 ? c.jumpAtBlock7 : 0); };
        const bool opened = c.op != FaultOp::Open;
        const ShownResult stopped =
            ResultOf(Outcome::Incomplete, "A:", "Export To Physical Disk A:", c.stoppedAt);
        EXPECT_EQ(
            Shown(ExportImageTo(w.ctx, opened ? kDriveA : ImageTransferRequest{.file = locked})),
            opened ? stopped : Shown(NotStartedOn(locked)));
        ASSERT_EQ(w.ui.messages.size(), c.texts.size());
        for (std::size_t i = 0; i < c.texts.size(); ++i) {
            EXPECT_TRUE(w.ui.messages[i].text.starts_with(c.texts[i])) << w.ui.messages[i].text;
        }
        EXPECT_EQ(w.ui.messages.back().title,
                  c.texts.back() == slow ? "Exporting Image To Drive A:" : "Error");
        EXPECT_EQ(ReadFileBytes(disk), Spliced(w.old, before, c.written));
        if (opened) {  // each block named, then the caption back
            const std::size_t last = std::min(c.stoppedAt, kTracksPerImage - 1);
            EXPECT_EQ(w.ui.bufferCaptions.size(), last + 2);
            EXPECT_EQ(w.ui.bufferCaptions.rbegin()[1], "Writing Track " + std::to_string(last));
            EXPECT_EQ(w.ui.bufferCaptions.back(), "earlier source");
        }
        EXPECT_NE(w.state.status.progressLabel, "Progress      Finished");
        w.ExpectImageStateKept();
    }
}

struct ImportWorld : ImageWorld {
    // Complete: the disk's bytes and source, no description, no message.
    void ExpectImported(const Bytes& disk, ImageSource kind, const std::string& source,
                        const std::string& caption) const {
        EXPECT_EQ(StateOf(state), (ImageState{disk, kind, source, "", caption, false}));
        EXPECT_EQ(state.status.progressLabel, "Progress      Finished");
        EXPECT_TRUE(ui.messages.empty());
        ExpectSettled();
    }
};

TEST(ImportDrive, DriveTextKindAndLabelOfTheSource) {
    const std::tuple<FloppyDrive, std::string, std::string, ImageSource> cases[] = {
        {FloppyDrive::B, "MYDISK     ", "B: [MYDISK     ]", SourceFloppyB},
        {FloppyDrive::A, std::string(11, ' '), "A: [-----------]", SourceFloppyA},
        {FloppyDrive::A, "BAD\xE5LABEL  ", "A: [-----------]", SourceFloppyA},
    };
    for (const auto& [drive, label, source, kind] : cases) {
        SCOPED_TRACE(source);
        ImportWorld w;
        const Bytes disk = Labelled(PatternImage(9), label);
        w.InsertDisk(disk, kind == SourceFloppyB);
        const std::string action = "Import of Physical Disk " + source.substr(0, 2);
        EXPECT_EQ(Shown(ImportImageFrom(w.ctx, {.drive = drive})),
                  ResultOf(Outcome::Complete, DriveText(drive), action));
        w.ExpectImported(disk, kind, source, source);
        // "...", then every track, then the source.
        ASSERT_EQ(w.ui.bufferCaptions.size(), 162u);
        EXPECT_EQ(w.ui.bufferCaptions[1], "Reading Track 0");
        EXPECT_EQ(w.ui.bufferCaptions[160], "Reading Track 159");
    }
}

// The time rule from the sixth block on, midnight-safe; retries of a failed
// block, silent until the last attempt; a cancel. A stopped import keeps the
// blocks read, marks the image suspect and forgets its description.
TEST(ImportStops, SlowMediaRetriesAndCancel) {
    struct Case {
        const char* name;
        double start, perBlock;
        std::vector<int> failingReads;
        bool cancel;                   // after block 3
        std::string text;              // of the one message; "" for none
        std::size_t moved, stoppedAt;  // blocks read; 160 when complete
        int reads;
    };
    const std::string slow =
        "Excessive Read Time May Indicate\r\nDisk Is Not A Formatted 1.44MB Disk.\r\n\r\n"
        "Import Is Terminated.";
    TestWorld sys;  // the system's words for an error
    const std::string failed = ErrorHead(EIO) + "QrnMfntReadPtr.ReadFile\r\n" +
                               sys.devices.ErrorText(EIO) +
                               "\r\nAn error occurred when attempting to Read";
    const Case cases[] = {
        {"exactly 0.75 s a block is allowed", 0, 0.75, {}, false, "", 160, 0, 160},
        // Read 101 is block 100; then per attempt a sector-0 read and a block read.
        {"block 100 read on the third attempt", 0, 0, {101, 103, 105}, false, "", 160, 0, 166},
        {"the 3 s pause of a retried block 5 is not timed", 0, 0.0, {6}, false, "", 160, 0, 162},
        {"0.76 s a block, just over the limit", 0, 0.76, {}, false, slow, 6, 5, 6},
        {"1 s a block across midnight", 86400.0 - 2.0, 1.0, {}, false, slow, 6, 5, 6},
        {"the pauses of an early retry count", 0, 0, {2, 4}, false, slow, 6, 5, 10},
        {"all four attempts fail", 0, 0, {4, 6, 8, 10, 12}, false, failed, 3, 3, 12},
        {"cancel", 0, 0, {}, true, "", 4, 3, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImportWorld w;
        w.clock.Set(c.start);
        const Bytes disk = PatternImage(7);
        w.devices.After(FaultOp::Read, 0, [&](int) { w.clock.Advance(c.perBlock); });
        w.Inject(FaultOp::Read, c.failingReads);
        w.ui.onPump = [&](int pumps) {
            if (c.cancel && pumps == 3) {
                CancelCommand(w.ctx);
            }
        };
        const std::string file = w.ImageFile(disk);
        const ImageResult result = ImportImageFrom(w.ctx, {.file = file});
        const std::string action = "Import of Disk Image " + ShortenPath(file);
        const Strings titles{c.text == slow ? "Importing Image From Drive " : "Error"};
        EXPECT_EQ(w.ui.MessageTitles(), c.text.empty() ? Strings{} : titles);
        EXPECT_EQ(w.state.status.actionLabel, action);
        EXPECT_EQ(w.devices.Count(FaultOp::Read), c.reads) << "one request per block, in order";
        if (c.moved == kTracksPerImage) {
            EXPECT_EQ(Shown(result), ResultOf(Outcome::Complete, file, action));
            w.ExpectImported(disk, SourceImageFile, file, ShortenPath(file));
            EXPECT_EQ(w.ui.bufferCaptions, (Strings{"...", ShortenPath(file)})) << "no tracks";
            continue;
        }
        EXPECT_EQ(Shown(result),
                  ResultOf(Outcome::Incomplete, file, action, c.stoppedAt, c.cancel));
        EXPECT_EQ(c.text.empty() ? "" : w.ui.LastMessage().text, c.text);
        EXPECT_EQ(StateOf(w.state), (ImageState{Spliced(disk, w.old, c.moved), SourceUsbSlot,
                                                "earlier source", "", "... ? ...", true}));
        EXPECT_NE(w.state.status.progressLabel, "Progress      Finished");
        w.ExpectSettled();
    }
}

// The template beside the program; its bytes are returned.
Bytes WriteTemplate(ImageWorld& w, std::size_t size) {
    std::filesystem::create_directories(w.dir / "QuarnCfg");
    const Bytes bytes = PatternImage(77, size);
    WriteFileBytes(w.dir / "QuarnCfg/FAT12.144", bytes);
    return bytes;
}

// The image after a format: the template, zeros after it, the ID twice (a
// blank one as "NO NAME" in the boot sector), and the serial of the test
// clock's noon, the internal image counting as slot 1000.
Bytes Formatted(Bytes image, const std::string& id11) {
    image.resize(kImageBytes, 0);
    fat12::WriteVolumeSerial(
        std::as_writable_bytes(std::span(image)),
        fat12::VolumeSerialNumber(fat12::MakeStamp(2026, 3, 14, 12, 0, 0), 1000));
    const bool blank = id11 == std::string(11, ' ');
    const std::string boot = blank ? "NO NAME    " : id11;
    std::copy(boot.begin(), boot.end(), image.begin() + fat12::kBootLabelOffset);
    std::copy(id11.begin(), id11.end(), image.begin() + fat12::kRootLabelOffset);
    if (blank && image[fat12::kRootLabelOffset + 11] == 0x08) {
        image[fat12::kRootLabelOffset] = 0xE5;  // no label entry of spaces
    }
    return image;
}

// Zeroing, and formatting through the dialog's OK button with the capitals
// of the first 11 characters typed (no character cut in two; the label is 11
// bytes, Latin-1), from templates shorter and longer than an image.
TEST(FormatInternalImage, ZerosOrTemplateWithTheIdAtBothPlaces) {
    // One small letter in UTF-8, its capital in UTF-8 and Latin-1.
    const std::string ae = "\xC3\xA4", upper = "\xC3\x84", latin1 = "\xC4";
    // Typed, the box after, the label written, shown; the template's bytes (0: zeroed instead).
    const std::tuple<std::string, std::string, std::string, std::string, std::size_t> cases[] = {
        {"abcdefghijklmn", "ABCDEFGHIJK", "ABCDEFGHIJK", "ABCDEFGHIJK", kImageBytes},
        {"my disk", "MY DISK", "MY DISK    ", "MY DISK    ", 512},
        {"", "", "           ", "-----------", kImageBytes + 5000},
        {ae + "bcdefghijklmn", upper + "BCDEFGHIJK", latin1 + "BCDEFGHIJK", upper + "BCDEFGHIJK",
         1},
        {"", "", "", "", 0},
    };
    for (const auto& [typed, box, written, shown, templateBytes] : cases) {
        SCOPED_TRACE(typed);
        ImageWorld w;
        w.state.status.bufferOpaque = true;
        Bytes image(kImageBytes, 0);
        if (templateBytes == 0) {
            ZeroImage(w.ctx);
        } else {
            image = Formatted(WriteTemplate(w, templateBytes), written);
            w.model.dialogs.floppyIdText = typed;
            FormatImageFromDialog(w.ctx);
            EXPECT_EQ(w.model.dialogs.floppyIdText, box);
        }
        const bool zeroed = templateBytes == 0;
        const std::string caption = zeroed ? "Zeroed" : "FAT12 / ID = [" + shown + "]";
        EXPECT_EQ(StateOf(w.state), (ImageState{image, zeroed ? SourceZeroed : SourceFormatted, "",
                                                "", caption, false}));
        EXPECT_EQ(w.state.status.actionLabel,
                  zeroed ? "Zeroing Internal Disk Image" : "Formatting Internal Disk Image");
        EXPECT_EQ(w.state.status.progressLabel, "Progress      Finished");
        EXPECT_EQ(w.devices.Count(FaultOp::Read), zeroed ? 0 : 1);
        EXPECT_TRUE(w.ui.messages.empty());
        w.ExpectSettled();
    }
}

// A missing file or template leaves the image suspect.
TEST(FormatInternalImage, MissingUnopenableAndUnreadableTemplates) {
    ImageWorld missing;
    EXPECT_EQ(FormatImageWithId(missing.ctx, "abc"), Outcome::NotStarted);
    ImageState suspect = missing.kept;
    suspect.caption = "... ? ...";
    suspect.opaque = true;
    EXPECT_EQ(StateOf(missing.state), suspect);
    ImageWorld gone;  // an import of a missing file, caught by the import's own handler
    EXPECT_EQ(ImportImageFrom(gone.ctx, {.file = gone.dir / "gone.img"}).outcome,
              Outcome::NotStarted);
    EXPECT_EQ(StateOf(gone.state), suspect);

    ImageWorld locked;
    WriteTemplate(locked, kImageBytes);
    locked.Inject(FaultOp::Open, {1}, EACCES);
    EXPECT_EQ(FormatImageWithId(locked.ctx, "abc"), Outcome::NotStarted);
    EXPECT_EQ(StateOf(locked.state), locked.kept);

    ImageWorld unreadable;  // the ID is still written, the rest is suspect
    WriteTemplate(unreadable, kImageBytes);
    unreadable.devices.Inject(Fault{FaultOp::Read, 1, "FAT12", 0, 1});
    EXPECT_EQ(FormatImageWithId(unreadable.ctx, "abc"), Outcome::Incomplete);
    const ImageState after = StateOf(unreadable.state);
    for (const std::size_t at : {fat12::kBootLabelOffset, fat12::kRootLabelOffset}) {
        EXPECT_EQ(std::string(after.bytes.begin() + at, after.bytes.begin() + at + 11),
                  "abc        ");
    }
    EXPECT_EQ((ImageState{after.bytes, SourceFormatted, "", "", "... ? ...", true}), after);

    const std::string noFile = missing.devices.ErrorText(ENOENT);
    const Strings texts{ErrorHead(ENOENT) + "FileLen\r\n" + noFile,
                        ErrorHead(ENOENT) + "QrnMfntImportFromFlpyImag.FileLen\r\n" + noFile,
                        ErrorHead(EACCES) + "GetHandle\r\n" + missing.devices.ErrorText(EACCES),
                        ErrorHead(EIO) + "QrnMfntReadPtr.ReadFile"};
    std::size_t i = 0;
    for (ImageWorld* w : {&missing, &gone, &locked, &unreadable}) {
        ASSERT_EQ(w->ui.messages.size(), 1u);
        EXPECT_TRUE(w->ui.messages[0].text.starts_with(texts[i++])) << w->ui.messages[0].text;
        w->ExpectSettled();
    }
}

}  // namespace
}  // namespace quarnex
