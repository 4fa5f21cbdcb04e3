// DISKS.TXT as the terminal tool meets it: files it cannot read in full,
// other encodings, texts that must not reach the terminal raw, saves that fail.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "cli/cli_runner.hpp"
#include "core/media_sizes.hpp"
#include "fat12/dir_entry.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/geometry.hpp"

namespace quarnex::testing {
namespace {

using Volume = std::vector<std::byte>;
using Prepare = std::function<void(const std::string& store)>;

Prepare OnSlot0(const std::function<void(Volume&)>& change) {
    return [change](const std::string& store) {
        Volume volume = ReadVolume(store, 0, fat12::kVolumeBytes);
        change(volume);
        PutBytes(store, 0,
                 std::string_view(reinterpret_cast<const char*>(volume.data()), volume.size()));
    };
}

// A DISKS.TXT of these bytes in slot 0.
Prepare Put(const std::string& bytes) {
    return OnSlot0([bytes](Volume& v) { fat12::ReplaceRootFile(v, "DISKS.TXT", bytes); });
}

// A DISKS.TXT whose root entry has the byte at offset set to value.
Prepare SetEntryByte(std::size_t offset, unsigned char value) {
    return OnSlot0([offset, value](Volume& v) {
        fat12::ReplaceRootFile(v, "DISKS.TXT", "text");
        for (std::size_t i = 0; i < fat12::kRootEntries; ++i) {
            const std::size_t at = fat12::RootEntryOffset(i);
            if (std::memcmp(v.data() + at, "DISKS   TXT", 11) == 0) {
                v[at + offset] = std::byte{value};
            }
        }
    });
}

void FillSlot0(Volume& v) {
    const std::string filler(fat12::FreeBytes(v), 'f');
    ASSERT_EQ(fat12::ReplaceRootFile(v, "FILLER.BIN", filler), fat12::Status::Ok);
}

const std::string kHeader =
    "Disk Descriptions For USB Image File 'Unknown'\r\n\r\nList Includes:\r\n"
    "   Floppy Disk Base Id (Numbered)\r\n   Disk Images With Descriptions\r\n"
    "   Disk Images With Altered Disk IDs\r\n\r\n";
// Slots 5 and 900 described, base GAMES, and a line no slot can take.
const std::string kGames = kHeader +
                           "---  ID>[GAMES]\r\n\r\n005  ID>[FDISK005   ]\r\n005   1>five\r\n"
                           "-01   1>stray line\r\n\r\n900  ID>[FDISK900   ]\r\n900   1>nine\r\n";

TEST(CliDescriptions, WhatCannotBeReadIsSaidAndReplacedOnlyWhenConfirmed) {
    TempDir dir;
    WriteFileBytes(dir / "in.img", PatternImage(3, "NEW"));
    std::filesystem::create_directories(dir / std::string(200, 'd'));
    const std::string longName = dir / std::string(200, 'd') + "/" + std::string(200, 'n') + ".img";
    std::filesystem::copy_file(dir / "in.img", longName);
    std::error_code noLineBreaks;  // in file names on Windows
    std::filesystem::copy_file(dir / "in.img", dir / "a\nb.img", noLineBreaks);
    const std::map<std::string, std::string> names{{"LONG", longName},
                                                   {"NEWLINE", dir / "a\nb.img"},
                                                   {"OUT", dir / "7.img"},
                                                   {"TICKS", "tick ✓ 日 ✓"}};
    const std::string ask =
        "which could not be read in full? What could not be read in it is lost.";
    // Slot 7 as a put stopped part way leaves it: its boot sector marked.
    const Prepare marked7 = [](const std::string& s) {
        PutBytes(s, SlotOffset(7) + 3, "QRNXBUSY");
    };
    const std::string unfinished =
        "quarnex-cli: Slot 007 was not completely written: put an image into it again.\n";
    const std::string stray = "Line 12 cannot be placed: -01   1>stray line";
    const Prepare games = Put(kGames);
    // Slot 0 prepared; the command on store S; exit code; parts of stderr, of
    // stdout and of DISKS.TXT after ("=": slots 0..7 unchanged).
    const std::tuple<Prepare, std::string, int, std::string, std::string, std::string> cases[] = {
        {games, "list S", 1, "in full:\n  " + stray + "\n",
         "Base ID:  GAMES (not numbered)\n|\n005 FDISK005     five\n|\n900 FDISK900     nine\n",
         "="},
        {games, "list S --json", 1, "", "\"descriptions_problems\": [\n    \"" + stray + "\"\n  ],",
         "="},
        {games, "describe S 7 seven", 1, ask, "", "="},
        {games, "describe S 7 seven --yes", 0,
         "could not be read in full and will be replaced (--yes)\n", "slot 007 described",
         "---  ID>[GAMES]\r\n|005   1>five\r\n|007   1>seven\r\n|900   1>nine\r\n"},
        {Put(std::string("\0\0junk", 6)), "list S", 1,
         "\n  DISKS.TXT is not a text file: it holds NUL bytes.\n", "\n007 FDISK007\n", "="},
        // What Windows-1252 cannot hold is said, and asked for.
        {nullptr, "describe S 6 TICKS", 1,
         "s.img is written in Windows-1252, which cannot hold \"✓日\" of the description: "
         "they are saved as \"?\"\n|, with \"?\" for what cannot be saved?\n  refused",
         "", "="},
        {nullptr, "describe S 6 TICKS --yes", 0, "which cannot hold \"✓日\"", "slot 006 described",
         "006   1>tick ? ? ?\r\n"},
        {SetEntryByte(11, 0x10), "describe S 7 x --yes", 1,
         "is a folder, so no description can be saved there; refused\n", "", "="},
        // Control characters never reach the terminal raw; a line break in
        // a file name stays on its line.
        {Put(kHeader + "007   1>a\x1b[2Jb\x07\r\n007   2>c\x7f\r\n"), "list S", 0, "",
         "\n007 FDISK007     a\\x1b[2Jb\\x07\n                 c\\x7f\n", "="},
        {nullptr, "put S 7 NEWLINE --yes", 0, "", "",
         "007 SRC>" + dir / "a?b.img\r\n007  ID>[NEW        ]\r\n"},
        // A slot a put left part way is listed so, until it is written whole.
        {marked7, "list S", 0, unfinished,
         "\n007 FDISK007\n                 not completely written: put an image into it "
         "again\n008 FDISK008\n",
         "="},
        {marked7, "list S --json", 0, unfinished, "\"write_unfinished\": true", "="},
        {marked7, "get S 7 OUT", 1,
         "again. " + dir / "7.img" + " holds what the slot holds, which may be damaged.\n",
         "slot 007 -> ", "="},
        // The slot is written, its description cannot be saved.
        {OnSlot0(FillSlot0), "put S 7 LONG --yes", 1,
         "The FAT12 volume is full.\n  DISKS.TXT of |s.img was not saved.\nquarnex-cli: slot 007 "
         "was written, but DISKS.TXT was not saved: the slot's description and source there "
         "are out of date\n",
         "", ""},
    };
    for (const auto& [prepare, command, code, err, out, after] : cases) {
        if (noLineBreaks && Contains(command, "NEWLINE")) {
            continue;
        }
        const std::string store = CopyOfMasterStore(dir, "s.img");
        if (prepare) {
            prepare(store);
        }
        const std::vector<unsigned char> before = ReadFileBytes(store, 0, kSlotStride * 8);
        std::map<std::string, std::string> words = names;
        words["S"] = store;
        SCOPED_TRACE(command);
        const CliResult run = ExpectRun(Words(command, words), code, err, out);
        EXPECT_FALSE(Contains(run.out, "\x1b") || Contains(run.out, "\x07"));
        if (after == "=") {
            EXPECT_TRUE(ReadFileBytes(store, 0, kSlotStride * 8) == before);
        } else {
            ExpectParts(DisksTxt(store), after);
        }
    }
}

}  // namespace
}  // namespace quarnex::testing
