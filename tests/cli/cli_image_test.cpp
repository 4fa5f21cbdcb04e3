// quarnex-cli making image files and formatting stores, checked byte by byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/cli_runner.hpp"
#include "cli/cli_test_store.hpp"
#include "core/media_sizes.hpp"
#include "fat12/dir_entry.hpp"
#include "fat12/volume_label.hpp"
#include "support/loop_device.hpp"
#include "support/temp_dir.hpp"

namespace quarnex::testing {
namespace {

std::string TemplatePath() {
    return (std::filesystem::path(CliBinary()).parent_path() / "QuarnCfg" / "FAT12.144").string();
}

TEST(CliImage, NewAndZeroWriteWholeImagesAndAskBeforeReplacing) {
    TempDir dir;
    const std::string fresh = dir / "fresh.img";
    const CliResult made = RunCli({"image", "new", fresh, "--id", "my disk 12345"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(made.out, "wrote " + fresh + "\n");
    EXPECT_TRUE(made.err.empty()) << made.err;
    std::vector<unsigned char> image = ReadFileBytes(fresh);
    ASSERT_EQ(image.size(), kImageBytes);
    // The ID as the ID dialog's OK button leaves it, at both places.
    EXPECT_EQ(Label(image, fat12::kBootLabelOffset), "MY DISK 123");
    EXPECT_EQ(Label(image, 9728), "MY DISK 123");
    // Everything else is the template.
    std::vector<unsigned char> blank = ReadFileBytes(TemplatePath());
    ASSERT_EQ(blank.size(), kImageBytes);
    for (std::vector<unsigned char>* bytes : {&image, &blank}) {
        std::fill_n(bytes->begin() + fat12::kBootLabelOffset, fat12::kLabelBytes, 0);
        std::fill_n(bytes->begin() + fat12::kRootLabelOffset, fat12::kLabelBytes, 0);
    }
    EXPECT_TRUE(image == blank);

    // Without --id the label is blank.
    const std::string unnamed = dir / "unnamed.img";
    ASSERT_EQ(RunCli({"image", "new", unnamed}).exitCode, 0);
    EXPECT_EQ(Label(ReadFileBytes(unnamed), fat12::kBootLabelOffset),
              std::string(fat12::kLabelBytes, ' '));

    // Zero over an existing file: refused without a terminal, done with --yes.
    const CliResult refused = RunCli({"image", "zero", fresh});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(Contains(refused.err, "replace the existing file " + fresh + "?")) << refused.err;
    EXPECT_EQ(Label(ReadFileBytes(fresh), fat12::kBootLabelOffset), "MY DISK 123");
    const CliResult zeroed = RunCli({"image", "zero", fresh, "--yes"});
    ASSERT_EQ(zeroed.exitCode, 0) << zeroed.err;
    EXPECT_EQ(ReadFileBytes(fresh), std::vector<unsigned char>(kImageBytes, 0));

    // A new image goes into a slot and comes back with its label.
    const std::string store = CopyOfMasterStore(dir, "s.img");
    ASSERT_EQ(RunCli({"put", store, "77", unnamed, "--yes"}).exitCode, 0);
    EXPECT_EQ(ListJson(store)["slots"][76]["id"], std::string(11, ' '));
}

TEST(CliImage, FormatWritesTheIdsAsTheFormatDialogTakesThem) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    ASSERT_EQ(RunCli({"describe", store, "5", "gone after the format", "--yes"}).exitCode, 0);
    const CliResult formatted = RunCli({"format", store, "--id", "new stick id", "--base",
                                        "plain base name", "--no-number", "--yes"});
    ASSERT_EQ(formatted.exitCode, 0) << formatted.err;
    EXPECT_EQ(formatted.out, "formatted " + store + "\n");

    for (int slot : {1, 2, 998, 999}) {
        const std::vector<unsigned char> image = SlotImage(store, slot);
        EXPECT_EQ(Label(image, fat12::kBootLabelOffset), "PLAIN BASE ") << slot;
        EXPECT_EQ(Label(image, 9728), "PLAIN BASE ") << slot;
    }
    EXPECT_EQ(Label(SlotImage(store, 0), fat12::kBootLabelOffset), "NEW STICK I");

    const nlohmann::json doc = ListJson(store);
    EXPECT_EQ(doc["store_id"], "NEW STICK I");
    EXPECT_EQ(doc["base_id"], "PLAIN BASE");
    EXPECT_EQ(doc["base_numbered"], false);
    EXPECT_EQ(doc["slots"][4]["description"], "");
    EXPECT_EQ(doc["slots"][998]["id"], "PLAIN BASE ");
}

TEST(CliLoopDevice, DevicesThatCannotHoldAStoreAreRefused) {
    TempDir dir;
    MakeSparseFile(dir / "small.img", 64ULL * 1024 * 1024);
    LoopDevice small(dir / "small.img");
    if (!small.Attached()) {
        GTEST_SKIP() << small.Problem();
    }
    const CliResult listed = RunCli({"list", small.Path()});
    EXPECT_EQ(listed.exitCode, 1);
    EXPECT_TRUE(
        Contains(listed.err, "quarnex-cli: Device Too Small\n  " + small.Path() +
                                 " holds 67,108,864 bytes;\n  a store needs 1,572,864,000.\n"))
        << listed.err;
    const CliResult format = RunCli({"format", small.Path(), "--id", "A", "--base", "B", "--yes"});
    EXPECT_EQ(format.exitCode, 1);
    EXPECT_TRUE(format.out.empty());
    EXPECT_EQ(AllocatedBytes(dir / "small.img"), 0u);

    // A device of a store's size that holds no store: list refuses it, and
    // format asks before making it one.
    MakeSparseFile(dir / "blank.img", kStoreBytes);
    LoopDevice blank(dir / "blank.img");
    ASSERT_TRUE(blank.Attached()) << blank.Problem();
    const CliResult notStore = RunCli({"list", blank.Path()});
    EXPECT_EQ(notStore.exitCode, 1);
    EXPECT_TRUE(Contains(notStore.err, "quarnex-cli: Not A Store\n")) << notStore.err;
    const CliResult asked = RunCli({"format", blank.Path(), "--id", "A", "--base", "B"});
    EXPECT_EQ(asked.exitCode, 1);
    EXPECT_TRUE(Contains(asked.err, blank.Path() + " does not hold a store. Format it as one?"))
        << asked.err;
    EXPECT_EQ(AllocatedBytes(dir / "blank.img"), 0u);
}

}  // namespace
}  // namespace quarnex::testing
