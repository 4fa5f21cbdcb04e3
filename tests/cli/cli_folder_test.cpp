// export STORE DIR and import DIR STORE: a store's slots and descriptions
// through a folder and into a fresh store; refusals and dry runs that write
// nothing, each naming the file.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_runner.hpp"
#include "core/media_sizes.hpp"

namespace quarnex::testing {
namespace {

TEST(CliFolder, ExportThenImportGivesTheSameSlotsAndDescriptions) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    WriteFileBytes(dir / "a.img", PatternImage(1, "A:B."));
    RunOk({"put", store, "3", dir / "a.img", "--yes"});
    RunOk({"describe", store, "3", "Lathe\\nMarch \\ ok", "--yes"});
    RunOk({"describe", store, "7", "only described", "--yes"});
    const std::string out = dir / "out";
    ExpectRun({"export", store, out, "--names", "id", "--dry-run"}, 0, "dry run",
              "slot 003 [A:B.] -> " + out + "/003_A_B_.img\nslot 007 [FDISK007] -> " + out +
                  "/007_FDISK007.img\n");
    EXPECT_FALSE(std::filesystem::exists(out));
    RunOk({"export", store, out, "--names", "id"});
    EXPECT_EQ(ReadFileText(out + "/descriptions.txt"),
              "003 Lathe\\nMarch \\\\ ok\r\n007 only described\r\n");
    EXPECT_EQ(ReadFileBytes(out + "/003_A_B_.img"), SlotImage(store, 3));
    // Nothing is replaced without --force; with it, the file of the same name.
    WriteFileText(out + "/003_A_B_.img", "old");
    ExpectRun(
        {"export", store, out, "--names", "id"}, 1,
        out + "/003_A_B_.img already holds slot 003: export replaces no file without --force");
    RunOk({"export", store, out, "--names", "id", "--force", "--slots", "1-3"});
    ExpectRun({"export", store, out, "--slots", "3"}, 1,
              out + "/003_A_B_.img already holds slot 003: remove it first");
    // A hand-edited line no slot can take, and an unnumbered file for a free slot.
    WriteFileText(out + "/descriptions.txt",
                  ReadFileText(out + "/descriptions.txt") + "\xEF\xBB\xBFx no slot\n1200 far\n");
    WriteFileBytes(out + "/extra.IMG", PatternImage(2, "EXTRA"));
    const std::string fresh = CopyOfMasterStore(dir, "t.img");
    ExpectRun({"import", out, fresh, "--yes"}, 0, "",
              out + "/extra.IMG -> slot 001 [EXTRA]\n" + out +
                  "/003_A_B_.img -> slot 003 [A:B.]\n" + out +
                  "/007_FDISK007.img -> slot 007 [FDISK007]\nrestored 2 descriptions from " + out +
                  "/descriptions.txt; skipped 2 lines");
    for (const int slot : {3, 7}) {
        EXPECT_EQ(SlotImage(fresh, slot), SlotImage(store, slot)) << slot;
        EXPECT_EQ(ListJson(fresh)["slots"][slot - 1]["description"],
                  ListJson(store)["slots"][slot - 1]["description"]);
    }
}

TEST(CliFolder, RefusalsAndDryRunsWriteNothing) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    const auto image = [&](const std::string& name, std::size_t bytes = kImageBytes) {
        std::filesystem::create_directories(dir / "in");
        WriteFileText(dir / "in/" + name, "");
        std::filesystem::resize_file(dir / "in/" + name, bytes);  // sparse
    };
    // Slots 0..11 (DISKS.TXT and the slots named below) and 999.
    const auto watched = [&] {
        return std::pair(ReadFileBytes(store, 0, SlotOffset(12)), SlotImage(store, 999));
    };
    const auto before = watched();
    // Files of the folder; the message, naming the file (exit 1).
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused{
        {{"010.img", "short.img"},
         "short.img is not a 1.44 MB floppy image file: it holds 0 bytes"},
        {{"010.img", "010_again.img"},
         "010_again.img and " + dir / "in/010.img" + " are both for slot 010; refused"},
        {{"000_zero.img"}, "in/000_zero.img names slot 000, the store's own volume; refused"},
        {{"1000.img"}, "in/1000.img names slot 1000, past slot 999; refused"},
        {{}, "in holds no image files (*.img); nothing was written"},
    };
    for (const auto& [files, message] : refused) {
        std::filesystem::remove_all(dir / "in");
        std::filesystem::create_directories(dir / "in");
        for (const std::string& name : files) {
            image(name, name == "short.img" ? 0 : kImageBytes);
        }
        ExpectRun({"import", dir / "in", store, "--yes"}, 1, message);
    }
    // More unnumbered files than free slots: 999 of them and one numbered.
    for (int i = 0; i < 999; ++i) {
        image("f" + std::to_string(1000 + i) + ".img");
    }
    image("999.img");
    ExpectRun(
        {"import", dir / "in", store, "--yes"}, 1,
        "in/f1998.img finds no free slot: " + store + " has 998 free for 999 unnumbered files");
    std::filesystem::remove_all(dir / "in");
    image("005_x.img");
    ExpectRun({"import", dir / "in", store, "--dry-run"}, 0, "dry run: nothing was written",
              dir / "in/005_x.img -> slot 005 [FDISK005]\n");
    EXPECT_EQ(watched(), before);
}

}  // namespace
}  // namespace quarnex::testing
