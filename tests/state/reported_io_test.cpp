#include "state/reported_io.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "state/error_report.hpp"
#include "support/test_world.hpp"

namespace quarnex {
namespace {

using namespace testing;

// The system's words for `error` come from the test world's backend, as the program's do.
std::string Shown(const std::string& tag, int error, const std::string& description) {
    TestWorld w;
    return ErrorHead(error) + tag + "\r\n" + w.devices.ErrorText(error) + "\r\n" + description;
}

// Each step shows its failure in the "Error" box, unless told to be quiet, and gives the
// plain result; a failed seek moves no data and a failure leaves the handle open. (A failed
// open: the image export's and the scan's tests, quiet in the rights probe's.)
TEST(ReportedIo, FailuresAreShownUnlessQuiet) {
    enum Step { Read, ReadPtr, Write, Close, Unmount };
    struct Row {
        Step step;
        Fault fault;
        bool withHandle;
        std::string text;  // path appended where it ends with "to "
    };
    const std::string at = "An error occurred when attempting to ", seek = at + "SetFilePointer().";
    const int io = EIO, badf = EBADF;
    // clang-format off
    const Row rows[] = {
        {Read, {FaultOp::Read, 1, "", 0, 100}, true, Shown("QrnMfntRead.ReadFile", io, at + "Read.")},
        {Read, {}, false, Shown("QrnMfntRead.ReadFile", badf, at + "Read.")},
        {Read, {FaultOp::Seek, 1, "", EINVAL, 0}, true, Shown("QrnMfntRead.SetFilePointer", EINVAL, seek)},
        {ReadPtr, {FaultOp::Read, 1, "", 0, 12}, true, Shown("QrnMfntReadPtr.ReadFile", io, at + "Read")},
        {ReadPtr, {FaultOp::Seek, 1, "", EIO, 0}, true, Shown("QrnMfntReadPtr.SetFilePointer", io, seek)},
        {Write, {FaultOp::Write, 1, "", 0, 9}, true, Shown("QrnMfntWritePtr.WriteFile", ENOSPC, at + "Write")},
        {Write, {}, false, Shown("QrnMfntWritePtr.WriteFile", badf, at + "Write")},
        {Write, {FaultOp::Seek, 1, "", EINVAL, 0}, true, Shown("QrnMfntWritePtr.SetFilePointer", EINVAL, seek)},
        {Close, {FaultOp::Flush, 1, "", EIO, 0}, true, Shown("CloseDevHandle.Flush", io, at + "write the data to ")},
        {Unmount, {FaultOp::Dismount, 1, "", EBUSY, 0}, true, Shown("UnmountVolume", EBUSY, at + "dismount the volume.")},
    };
    // clang-format on
    std::vector<std::byte> memory(1024);
    for (const Row& row : rows) {
        for (const Reporting reporting : {Reporting::Shown, Reporting::Quiet}) {
            TestWorld w;
            const std::string path = w.dir / "dev.img";
            MakeSparseFile(path, 4096);
            DevHandle h;
            if (row.withHandle) {
                h = GetHandle(w.ctx, path, Access::ReadWrite, Disposition::OpenExisting,
                              Reporting::Shown)
                        .Value();
                w.devices.Inject(row.fault);
            }
            SCOPED_TRACE(row.text);
            const Status ok =
                row.step == Read      ? ReadSectorAndReport(w.ctx, h, memory, 0, 512, 0, reporting)
                : row.step == ReadPtr ? ReadBlockAndReport(w.ctx, h, memory, 0, 512, 0, reporting)
                : row.step == Write ? WriteBlockAndReport(w.ctx, h, memory, 0, 512, 512, reporting)
                : row.step == Close ? CloseDevHandle(w.ctx, h)
                                    : UnmountVolume(w.ctx, h);
            EXPECT_FALSE(ok);
            if (row.step == Read || row.step == ReadPtr || row.step == Write) {
                EXPECT_EQ(h.Valid(), row.withHandle);
                EXPECT_EQ(w.devices.Count(FaultOp::Read) + w.devices.Count(FaultOp::Write),
                          row.withHandle && row.fault.op != FaultOp::Seek ? 1 : 0);
            }
            if (reporting == Reporting::Quiet && row.step != Close && row.step != Unmount) {
                EXPECT_TRUE(w.ui.messages.empty());
                continue;
            }
            ASSERT_EQ(w.ui.messages.size(), 1u);
            const MessageRequest& m = w.ui.messages[0];
            EXPECT_EQ(std::tie(m.title, m.icon, m.text),
                      std::tuple("Error", MessageIcon::None,
                                 row.text + (row.text.ends_with("to ") ? path : "")));
        }
    }
}

TEST(GetPhysicalDriveNumber, ReportsAVolumeWithoutANumberAndClosesIt) {
    TestWorld w;
    const std::string path = w.dir / "dev.img";
    MakeSparseFile(path, 4096);
    w.drives.drives = {{"sdd", path, DriveKind::Removable, -1, ENODEV}};
    EXPECT_EQ(GetPhysicalDriveNumber(w.ctx, "sdd"), -1);
    ASSERT_EQ(w.ui.messages.size(), 1u);
    EXPECT_EQ(w.ui.messages[0].text, ErrorHead(ENODEV) +
                                         "GetPhysicalDriveNumber.CreateM.GetDevNumber\r\n" +
                                         w.devices.ErrorText(ENODEV));
    EXPECT_EQ(w.devices.OpenHandles(), 0) << "the volume is closed";
    EXPECT_EQ(GetErrorText(w.ctx, 99999), "Unknown Error.");
}

}  // namespace
}  // namespace quarnex
