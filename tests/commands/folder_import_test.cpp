// A folder import stopped part way by a failed write or a cancel: DISKS.TXT
// records the description of every slot written, and of no other.
#include <gtest/gtest.h>

#include <filesystem>

#include "commands/folder_commands.hpp"
#include "commands/folder_transfer.hpp"
#include "commands/main_commands.hpp"
#include "fat12/fat12_volume.hpp"
#include "state/error_report.hpp"
#include "store/store_world.hpp"

namespace quarnex {
namespace {

using namespace testing;

// Three numbered files; a slot takes 161 writes (160 blocks, its boot sector).
TEST(FolderImport, DescriptionsOfExactlyTheSlotsWrittenAreRecorded) {
    // Fault; cancel after this many writes; slots recorded.
    const std::tuple<std::optional<Fault>, int, int> cases[] = {
        {std::nullopt, 0, 3},
        {StoreFault(FaultOp::Write, 161 + 5, EIO), 0, 2},
        {std::nullopt, 2 * 161 + 2, 3},
        {StoreFault(FaultOp::Write, 1, ENOSPC), 0, 0},
    };
    for (const auto& [fault, cancelAfter, recorded] : cases) {
        SCOPED_TRACE(recorded);
        StoreWorld w;
        ASSERT_TRUE(LoadSelectedStore(w.ctx));
        const std::string folder = w.dir / "in";
        std::filesystem::create_directories(folder);
        std::vector<std::byte> image(kImageBytes);
        fat12::BuildBlankVolume(image, "DISK");
        for (int slot = 4; slot <= 6; ++slot) {
            WriteFileBytes(folder + "/00" + std::to_string(slot) + "_d.img",
                           BytesOf(image, 0, kImageBytes));
        }
        WriteFileText(folder + "/descriptions.txt", "004 four\r\n005 five\n006 six\n");
        const ImportPlan plan = PlanFolderImport(w.ctx, w.ctx.state.SelectedStore(), folder);
        ASSERT_EQ(plan.descriptionsRestored, 3);
        w.Arm(fault, FaultOp::Write, cancelAfter);
        PutImages(w.ctx, w.ctx.state.SelectedStore(), plan.placements);
        const std::string disks = w.Slot0File();
        for (int i = 0; i < 3; ++i) {
            const std::string line = "00" + std::to_string(4 + i) + "   1>" +
                                     std::vector<std::string>{"four", "five", "six"}[i];
            EXPECT_EQ(disks.find(line) != std::string::npos, i < recorded) << line;
        }
        w.ExpectSettled();
    }
}

// The slots are written; a descriptions file that cannot be replaced is
// reported in the system's words, naming the file.
TEST(FolderExport, ADescriptionsFileThatCannotBeWrittenIsReported) {
    StoreWorld w;
    w.PutLabel(5, "FIVE       ");
    ASSERT_TRUE(LoadSelectedStore(w.ctx));
    const std::string folder = w.dir / "out";
    std::filesystem::create_directories(folder + "/descriptions.txt");
    ExportSlotsToFolder(w.ctx, folder);
    EXPECT_EQ(ReadFileBytes(folder + "/005.img"),
              ReadFileBytes(w.store, SlotOffset(5), kImageBytes));
    ASSERT_EQ(w.ui.messages.size(), 2u);
    EXPECT_EQ(w.ui.messages[0].text, ErrorHead(EISDIR) + "Quarnex\r\n" +
                                         GetErrorText(w.ctx, EISDIR) + "\r\n" + folder +
                                         "/descriptions.txt was not written; the image files "
                                         "are complete.");
}

}  // namespace
}  // namespace quarnex
