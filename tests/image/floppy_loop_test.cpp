// Both directions through a real block device standing for floppy drive A:; the
// export succeeds only if the device shows the geometry of a 1.44 MB disk.

#include <gtest/gtest.h>

#include "core/media_sizes.hpp"
#include "image/image_export.hpp"
#include "image/image_import.hpp"
#include "image_test_files.hpp"
#include "support/loop_device.hpp"
#include "support/test_world.hpp"

namespace quarnex {
namespace {

using testing::Bytes;
using testing::TestWorld;

TEST(FloppyOnLoopDevice, ExportThenImportRoundTrip) {
    TestWorld w;
    const std::string backing = w.dir / "floppy.img";
    testing::MakeSparseFile(backing, kImageBytes);
    testing::LoopDevice loop(backing);
    if (!loop.Attached()) {
        GTEST_SKIP() << loop.Problem();
    }
    w.drives.floppyA = loop.Path();

    Bytes disk = testing::PatternImage(31);
    testing::PutLabel(disk, "LOOPDISK   ");
    testing::FillImage(w.state, disk);
    const std::string path = "\\\\.\\a:";
    ASSERT_EQ(fntExportToFlpyImag(w.ctx, {path}).outcome, Outcome::Complete);
    EXPECT_EQ(testing::ReadFileBytes(backing), disk) << "on the backing file after the export";

    testing::FillImage(w.state, Bytes(kImageBytes, 0));
    ASSERT_EQ(fntImportFromFlpyImag(w.ctx, {path}).outcome, Outcome::Complete);
    EXPECT_EQ(testing::ImageOf(w.state), disk);
    EXPECT_EQ(w.state.slotTable.DiskSources[0], "A: [LOOPDISK   ]");
    EXPECT_EQ(w.state.ImageSourceKind, SourceFloppyA);
    EXPECT_TRUE(w.ui.messages.empty());
    EXPECT_EQ(w.devices.OpenHandles(), 0);
}

}  // namespace
}  // namespace quarnex
