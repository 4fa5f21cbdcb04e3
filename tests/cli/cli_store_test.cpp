// End-to-end runs of quarnex-cli on sparse store files and image files,
// checked byte by byte; several of them on one store take turns. And what it
// refuses, with which exit code and message, leaving everything as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <tuple>

#include "cli/cli_runner.hpp"
#include "core/media_sizes.hpp"
#include "fat12/volume_label.hpp"

namespace quarnex::testing {
namespace {

TEST(CliStore, CreateAndFormatMakeStoresThatListShows) {
    const std::string& store = MasterStore();
    // Zeros are not written: a formatted store takes a few megabytes.
    EXPECT_LT(AllocatedBytes(store), 64ULL * 1024 * 1024);
    TempDir dir;
    const std::string copy = CopyOfMasterStore(dir, "s.img");
    const CliResult listed = RunOk({"list", copy, "--json"});
    // Listing changes nothing, not even by creating a missing DISKS.TXT.
    EXPECT_TRUE(SameBytes(copy, store));
    nlohmann::json doc = nlohmann::json::parse(listed.out);
    ASSERT_EQ(doc["slots"].size(), 999u);
    doc["slots"] = {doc["slots"][0], doc["slots"][998]};
    EXPECT_EQ(doc, nlohmann::json::parse(R"({"store_id": "MYSTICK", "base_id": "FDISK",
        "base_numbered": true, "descriptions_problems": [], "write_unfinished": false, "slots": [
        {"slot": 1, "id": "FDISK001   ", "description": "", "source": "", "write_unfinished": false},
        {"slot": 999, "id": "FDISK999   ", "description": "", "source": "",
         "write_unfinished": false}]})"));
    // The key order of the document is the documented one.
    EXPECT_EQ(listed.out.find("\"store_id\""), listed.out.find('"'));
    ExpectRun({"list", copy}, 0, "",
              "Store ID: MYSTICK\nBase ID:  FDISK (numbered)\n|\n998 FDISK998\n999 FDISK999\n");

    // Format takes the IDs as the format dialog does, and drops the
    // descriptions. A numbered base keeps 8 characters, as the tool says.
    ExpectRun({"format", copy, "--id", "x", "--base", "abcdefghij", "--yes"}, 0,
              "--base \"abcdefghij\" is cut to 8 characters, which leave room for the slot "
              "number: the slots' labels are \"ABCDEFGH001\" to \"ABCDEFGH999\"\n");
    RunOk({"describe", copy, "5", "gone after the format", "--yes"});
    const CliResult formatted = RunOk({"format", copy, "--id", "new stick id", "--base",
                                       "plain base name", "--no-number", "--yes"});
    EXPECT_EQ(formatted.out, "formatted " + copy + "\n");
    // Cut IDs are said, with the labels they give.
    EXPECT_EQ(formatted.err,
              "quarnex-cli: --id \"new stick id\" is cut to 11 characters, all a volume label "
              "holds: the store's label is \"NEW STICK I\"\nquarnex-cli: --base \"plain base "
              "name\" is cut to 11 characters, all a volume label holds: the slots' label is "
              "\"PLAIN BASE \"\n");
    doc = ListJson(copy);
    EXPECT_EQ(std::tuple(doc["store_id"], doc["base_numbered"], doc["slots"][4]["id"],
                         doc["slots"][4]["description"]),
              std::tuple("NEW STICK I", false, "PLAIN BASE ", ""));
    // The mark of a format or restore that did not finish: listings say so.
    PutBytes(copy, 3, "QRNXBUSY");
    ExpectRun({"list", copy}, 0,
              "quarnex-cli: the last format or restore of " + copy +
                  " did not finish: its slots may mix old and new disks; run it again\n");
    EXPECT_EQ(ListJson(copy)["write_unfinished"], true);
}

TEST(CliStore, PutGetDescribeBackupAndRestore) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    const std::string image = dir / "in.img";
    WriteFileBytes(image, PatternImage(7, "GAME7"));

    EXPECT_EQ(RunOk({"put", store, "5", image, "--yes"}).out, image + " -> slot 005 [GAME7]\n");
    EXPECT_EQ(SlotImage(store, 5), ReadFileBytes(image));
    EXPECT_EQ(SlotImage(store, 4), SlotImage(MasterStore(), 4));
    // The record holds the source and the slot's new ID.
    ExpectParts(DisksTxt(store),
                "--- IDN>[FDISK]\r\n\r\n005 SRC>" + image + "\r\n005  ID>[GAME7      ]\r\n");

    // Descriptions, kept in DISKS.TXT and the backup's companion file.
    const std::string text = "Flight manual\\n  page 2\\n\\nend";
    EXPECT_EQ(RunOk({"describe", store, "012", text, "--yes"}).out, "slot 012 described\n");
    EXPECT_EQ(ListJson(store)["slots"][11]["description"], "Flight manual\n  page 2\n\nend");
    const std::string record =
        "012  ID>[FDISK012   ]\r\n012   1>Flight manual\r\n"
        "012   2>  page 2\r\n012   3>\r\n012   4>end\r\n";
    ExpectParts(DisksTxt(store), "\r\n\r\n" + record);
    // The same text again writes nothing and says so.
    EXPECT_EQ(RunOk({"describe", store, "12", text}).err,
              "quarnex-cli: the description of slot 012 is unchanged\n");

    const std::string backup = dir / "backup.img";
    RunOk({"backup", store, backup});
    EXPECT_TRUE(SameBytes(store, backup));
    EXPECT_LT(AllocatedBytes(backup), 64ULL * 1024 * 1024);
    ExpectParts(ReadFileText(dir / "backup.txt"), record);
    // An empty text removes the description and its record; the backup
    // restores the store as it was, byte for byte.
    RunOk({"describe", store, "12", "", "--yes"});
    EXPECT_FALSE(Contains(DisksTxt(store), "012 "));
    const std::string other = CopyOfMasterStore(dir, "other.img");
    RunOk({"restore", backup, other, "--yes"});
    EXPECT_TRUE(SameBytes(other, backup));
}

TEST(CliImage, NewAndZeroWriteWholeImages) {
    TempDir dir;
    const std::string fresh = dir / "fresh.img";
    const CliResult made = RunOk({"image", "new", fresh, "--id", "my disk 12345"});
    EXPECT_EQ(made.out + made.err,
              "wrote " + fresh +
                  "\nquarnex-cli: --id \"my disk 12345\" is cut to 11 characters, all a volume "
                  "label holds: the volume's label is \"MY DISK 123\"\n");
    const std::vector<unsigned char> written = ReadFileBytes(fresh, fat12::kBootLabelOffset, 11);
    EXPECT_EQ(std::string(written.begin(), written.end()), "MY DISK 123");
    // Without an ID the volume has no label, which fsck.fat accepts.
    RunOk({"image", "new", dir / "blank.img"});
    if (HaveTools({"fsck.fat"})) {
        EXPECT_EQ(RunCommand("fsck.fat -n '" + dir / "blank.img" + "'"), 0);
    }

    // Zero over an existing file, confirmed.
    RunOk({"image", "zero", fresh, "--yes"});
    EXPECT_EQ(ReadFileBytes(fresh), std::vector<unsigned char>(kImageBytes, 0));
}

using Args = std::vector<std::string>;

TEST(CliUsage, HelpVersionAndBadUsage) {
    ExpectRun({"--version"}, 0, "", "quarnex-cli 1.0.0\n");
    ExpectRun({"--help"}, 0, "",
              "Exit codes: 0 success, 1 the operation failed or was refused, 2 wrong usage.\n");
    std::vector<std::pair<Args, std::string>> cases{
        {{"get", "/x", "1", ""}, "an empty path is not a file"}};
    // Exit 2 for every kind of wrong usage, before anything is touched.
    for (const char* line : {"", "frobnicate", "put x 1", "list x --jsn", "format x --id X",
                             "floppy read c x.img", "image"}) {
        cases.push_back({Words(line, {}), "Run with --help for more information."});
    }
    // Slot numbers are decimal: what C would read as octal or hexadecimal is
    // refused with the reason, never taken for another slot.
    const std::string rule = "' is not a slot number: decimal digits only, 1..999";
    for (const std::string slot : {"1000", "0x10", "1e2", "5 ", "", "+5", "0000"}) {
        cases.push_back({{"describe", "/x", slot, "text"}, "'" + slot + rule});
    }
    // IDs a volume label cannot hold are refused, before any file is made.
    const std::string x = "/nonexistent/x.img";
    const auto label = [](const std::string& option, const std::string& shown) {
        return option + ": a volume label cannot hold \"" + shown +
               "\": use ASCII letters, digits, spaces and punctuation\n";
    };
    cases.push_back({{"create", x, "--id", "a\ab", "--base", "B"}, label("--id", "\\x07")});
    cases.push_back({{"format", x, "--id", "A", "--base", "Caf\xC3\xA9 \x7F\xC3\xA9"},
                     label("--base", "\xC3\xA9\\x7f")});
    cases.push_back({{"image", "new", x, "--id", "line\nbreak"}, label("--id", "\\x0a")});
    for (const auto& [args, message] : cases) {
        ExpectRun(args, 2, message);
    }
}

TEST(CliRefusals, RefusedCommandsChangeNothing) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "s.img");
    const std::string image = dir / "in.img";
    WriteFileBytes(image, PatternImage(1, "NEW"));
    WriteFileBytes(dir / "short.img", std::vector<unsigned char>(kImageBytes - 1, 1));
    WriteFileText(dir / "keep.img", "precious");
    WriteFileText(dir / "new.txt", "notes");
    MakeSparseFile(dir / "short-store.img", kStoreBytes - 1);
    MakeSparseFile(dir / "blank-store.img", kStoreBytes);
    std::filesystem::create_directory(dir / "nodesc.txt");  // a backup without it is not whole
    const std::vector<unsigned char> slots01 = ReadFileBytes(store, 0, SlotOffset(2));
    const std::string self = "is the store itself; refused";
    std::filesystem::create_hard_link(store, dir / "link.img");
    const std::string replace = "replace the existing file " + dir / "keep.img" + "?";
    std::vector<std::pair<Args, std::string>> refused{
        // Store arguments that are not stores.
        {{"list", dir / "none.img"}, "quarnex-cli: Store Not Found\n"},
        {{"list", dir / "short-store.img"},
         "quarnex-cli: Image File Length Invalid\n  Not a 1000 Floppy Image File.\n  " +
             dir / "short-store.img" + "\n  File Length = 1,572,863,999\n"},
        {{"list", dir / "blank-store.img"}, "quarnex-cli: Not A Store\n"},
        {{"list", dir.Path()}, "Neither a block device nor a store image file."},
        // No terminal and no --yes: the confirmation is refused.
        {{"put", store, "1", image},
         "quarnex-cli: write " + image + " into slot 001 [FDISK001] of " + store +
             "? Its image and description are replaced.\n"
             "  refused: standard input is not a terminal; give --yes to confirm\n"},
        {{"describe", store, "1", "text"}, "change the description of slot 001"},
        {{"format", store, "--id", "X", "--base", "Y"}, "format the store " + store + "?"},
        {{"format", dir / "blank-store.img", "--id", "X", "--base", "Y"},
         dir / "blank-store.img" + " does not hold a store. Format it as one?"},
        {{"restore", store, dir / "blank-store.img"}, "Everything on it is replaced."},
        // Copying a store into itself would destroy it.
        {{"backup", store, store, "--yes"}, self},
        {{"get", store, "1", dir / "link.img", "--yes"}, dir / "link.img " + self},
        // Existing files are not replaced unasked, nor the descriptions file
        // a backup writes beside its image.
        {{"get", store, "1", dir / "keep.img"}, replace},
        {{"backup", store, dir / "keep.img"}, replace},
        {{"backup", store, dir / "new.img"}, "replace the existing file " + dir / "new.txt" + "?"},
        // Files of the wrong length are refused before anyone is asked.
        {{"put", store, "1", dir / "short.img"},
         "quarnex-cli: Image File Length Invalid\n  Not a 1.44 MB Floppy Image File.\n  " +
             dir / "short.img" + "\n  File Length = 1,474,559\n"},
        {{"backup", store, dir / "nodesc.img", "--yes"},
         "cannot write " + dir / "nodesc.txt" + ": This is a folder, not a file."}};
    if (!std::filesystem::exists("/dev/fd0")) {  // no drive: the disk prompt comes
        refused.push_back({{"floppy", "read", "a", dir / "f.img"},
                           "quarnex-cli: (I1) Importing Image From Drive A:\n"
                           "  Insert a 1.44 MB Floppy Disk Into Drive A:\n"
                           "  (answered Cancel: standard input is not a terminal)\n"});
    }
    for (const auto& [args, message] : refused) {
        ExpectRun(args, 1, message);
    }
    // Typed answers that do not come from a terminal do not count either.
    EXPECT_EQ(RunCli({"put", store, "1", image}, {"y\n", false, false}).exitCode, 1);
    EXPECT_EQ(ReadFileText(dir / "keep.img"), "precious");
    EXPECT_EQ(ReadFileText(dir / "new.txt"), "notes");
    EXPECT_EQ(FileSizeOrZero(dir / "new.img"), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir / "f.img"));
    EXPECT_EQ(AllocatedBytes(dir / "blank-store.img"), 0u);
    EXPECT_EQ(ReadFileBytes(store, 0, SlotOffset(2)), slots01);
}

}  // namespace
}  // namespace quarnex::testing
