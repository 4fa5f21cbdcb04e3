// What imports and exports share: the file dialog when no target is named,
// the prompts for a floppy drive without a usable disk, and real drives.

#include "image/image_target.hpp"

#include <gtest/gtest.h>

#include "image/image_export.hpp"
#include "image/image_import.hpp"
#include "image_test_files.hpp"
#include "support/loop_device.hpp"

namespace quarnex {
namespace {

using namespace testing;

ImageResult Transfer(ImageWorld& w, bool exporting, const ImageTransferRequest& request) {
    return exporting ? ExportFloppyImage(w.ctx, request) : ImportFloppyImage(w.ctx, request);
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
    struct Case {
        bool exporting;
        FloppyDrive drive;
        std::size_t diskBytes;  // 0: no disk
        int opens;
        double pause;
        std::string title;
    };
    const Case cases[] = {
        {false, FloppyDrive::A, 0, 6, 1.0, "(I1) Importing Image From Drive A:"},
        {false, FloppyDrive::A, kImageBytes + kBlock, 1, 5.0, "(I2) Importing Image From Drive A:"},
        {true, FloppyDrive::B, 0, 6, 1.0, "(X1) Exporting Image From Drive B:"},
        {true, FloppyDrive::A, 720 * 1024, 1, 5.0, "(X2) Exporting Image To Drive A:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        ImageWorld w;
        if (c.diskBytes != 0) {
            w.InsertDisk(PatternImage(5, c.diskBytes));
        }
        w.ui.messageAnswers = {MessageAnswer::Retry, MessageAnswer::Cancel};
        EXPECT_EQ(Transfer(w, c.exporting, {.drive = c.drive}), NotStartedOn(DriveText(c.drive)));
        EXPECT_EQ(w.devices.Count(FaultOp::Open), c.opens);
        EXPECT_EQ(w.clock.sleeps, std::vector<double>(6, c.pause));
        EXPECT_EQ(w.ui.MessageTitles(), Strings(2, c.title));
        const MessageRequest& m = w.ui.LastMessage();
        const std::string drive = c.title.substr(c.title.size() - 2);
        EXPECT_EQ(m.text, "Insert a 1.44 MB Floppy Disk Into Drive " + drive);
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
    const OpenResult opened = w.posix.Open(wide.Path(), Access::Read, Disposition::OpenExisting);
    ASSERT_NE(opened.file, nullptr) << wide.Problem();
    EXPECT_FALSE(opened.file->HasFloppyGeometry());
}

}  // namespace
}  // namespace quarnex
