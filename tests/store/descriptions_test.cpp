// DISKS.TXT: the text written and read back, loading and saving it in slot 0
// (failing at every step) and on a mounted store.
#include "store/descriptions.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <tuple>

#include "core/text.hpp"
#include "fat12/dir_entry.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/geometry.hpp"
#include "state/error_report.hpp"
#include "store/descriptions_format.hpp"
#include "store/disk_ids.hpp"
#include "store/store_paths.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

using namespace testing;

void ClearTexts(ProgramState& state) {
    for (int slot = 1; slot < 1000; ++slot) {
        state.slotTable.SetDescription(slot, "");
        state.slotTable.SetSource(slot, "");
    }
    state.slotTable.baseId.clear();
    state.slotTable.baseIdPresent = state.slotTable.baseIdNumbered = false;
}

TEST(DescriptionsFormat, WriterListsOnlySlotsThatNeedARecordAndTheReaderTakesThemOrSkipsThem) {
    TestWorld w;
    SlotTable& t = w.state.slotTable;
    SetGridIds(w.state, "FDISK", true);
    t.baseId = "FDISK";
    t.baseIdPresent = t.baseIdNumbered = true;
    t.SetDescription(7, "First line\r\n\r\n  indented");
    t.SetSource(7, "/home/u/dos.img");
    t.SetDiskId(12, "  GAMES    ", SlotChange::DiskIdRead);  // altered ID, spaces first
    t.SetSource(30, "A:");
    t.SetDiskId(31, std::nullopt, SlotChange::DiskIdRead);  // unreadable
    const std::string text = ComposeDescriptions(w.state.slotTable, "sdb/DISKS.TXT");
    EXPECT_EQ(text,
              std::string("Disk Descriptions For USB Image File 'sdb/DISKS.TXT'\r\n") +
                  kListHeader +
                  "--- IDN>[FDISK]\r\n\r\n007 SRC>/home/u/dos.img\r\n007  ID>[FDISK007   ]\r\n"
                  "007   1>First line\r\n007   2>\r\n007   3>  indented\r\n"
                  "\r\n012  ID>[GAMES      ]\r\n\r\n030 SRC>A:\r\n030  ID>[FDISK030   ]\r\n"
                  "\r\n031  ID>[-----------]\r\n\r\n");
    ClearTexts(w.state);
    ASSERT_TRUE(ApplyDescriptions(w.state.slotTable, text).empty());
    // The source stands in for a missing description; an altered ID alone gives none.
    EXPECT_EQ(std::tuple(t.baseId, t.baseIdPresent, t.baseIdNumbered, t.Slot(7).description,
                         t.Slot(7).source, t.Slot(30).description, t.Slot(30).source,
                         t.Slot(12).description),
              std::tuple("FDISK", true, true, "First line\r\n\r\n  indented", "/home/u/dos.img",
                         "A:", "A:", ""));

    // A base too long for its field is written as read.
    ClearTexts(w.state);
    t.baseId = "A VERY LONG BASE";
    EXPECT_NE(ComposeDescriptions(w.state.slotTable, "n").find("---  ID>[A VERY LONG BASE]\r\n"),
              std::string::npos);

    // Descriptions are read back as the file can hold them.
    std::string longest;  // lines past 999 join the last one
    for (int k = 1; k <= 1002; ++k) {
        longest += (k > 1 ? "\r\n" : "") + std::string("L") + std::to_string(k);
    }
    // Slot k+1's description as saved and as read back; slot 4 has a source too.
    const std::pair<std::string, std::string> rows[] = {
        {"   leading kept   ", "   leading kept"},  // trailing spaces are lost
        {"ends with a break\r\n", "ends with a break"},
        {longest, longest.substr(0, longest.find("\r\nL1000")) + " L1000 L1001 L1002"},
        {"D20", "D20"},
    };
    const std::string source = "USB Disk(004)   [sdc  (/dev/sdc)]";
    ClearTexts(w.state);
    for (int k = 0; k < 4; ++k) {
        t.SetDescription(k + 1, rows[k].first);
    }
    t.SetSource(4, source);
    const std::string saved = ComposeDescriptions(w.state.slotTable, "x");
    ClearTexts(w.state);
    ASSERT_TRUE(ApplyDescriptions(w.state.slotTable, saved).empty());
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(t.Slot(k + 1).description, rows[k].second);
    }
    EXPECT_EQ(t.Slot(4).source + t.Slot(3).source, source);

    // Lines it cannot place are skipped one by one; any line end will do.
    ClearTexts(w.state);
    const std::vector<SkippedLine> skipped = ApplyDescriptions(
        w.state.slotTable,
        "junk\n---  ID>[MYBASE]\r1000 SRC>x\r\n999 SRC>\r\n"
        "  005   1>one   \n005   2>two\r\n005   1>restart\r\n-01   1>stray line\r\n"
        "005   7>seven\r\n006  ID>[IGNORED    ]\r\n1000  1>not slot 100\r\n"
        "006 IDN>[IGNORED    ]\r\n000   1>header row\r\n"
        "0x7   1>lenient\r\n008 ABC>any other kind appends\r\n"
        "--- XYZ>[NOPE]\r\n012   1>no line end");
    EXPECT_EQ(std::tie(t.baseId, t.baseIdPresent, t.baseIdNumbered),
              std::tuple("MYBASE", true, false));
    const auto said = [&t](int slot) { return t.Slot(slot).description; };
    EXPECT_EQ(std::tuple(t.Slot(999).source, t.internalImage.description, said(5), said(6), said(7),
                         said(8), said(12), said(100)),
              std::tuple("", "", "restart\r\nseven", "", "", "\r\nany other kind appends",
                         "no line end", ""));
    // junk, 1000 SRC, -01, 1000  1, 000, 0x7 and --- XYZ.
    ASSERT_EQ(skipped.size(), 7u);
    EXPECT_EQ(std::tie(skipped[2].number, skipped[2].text), std::tuple(8u, "-01   1>stray line"));

    ClearTexts(w.state);
    ASSERT_TRUE(ApplyDescriptions(w.state.slotTable, "--- IDN>[]\r\n").empty());
    EXPECT_EQ(std::tie(t.baseId, t.baseIdPresent, t.baseIdNumbered), std::tuple("", true, true));
}

TEST(DescriptionsFormat, BaseIdIsDerivedFromElevenAgreeingRows) {
    const auto agreeing = [](int count, const std::string& prefix) {
        return [count, prefix](int row) {
            return row <= count ? prefix + ThreeDigits(row) : "X" + std::to_string(row) + "QQQ";
        };
    };
    // Slot's ID; present, the candidate as the loop left it (nullptr: not looked at), numbered.
    const std::tuple<std::function<std::optional<std::string>(int)>, bool, const char*, bool>
        cases[] = {
            {agreeing(999, "FDISK"), true, "FDISK", true},
            // IDs not read count as eleven hyphens, as the file names them.
            {[](int) { return std::nullopt; }, true, "-----------", false},
            {agreeing(10, "NUM"), false, nullptr, false},  // ten numbered rows establish nothing
            {agreeing(11, "NUM"), true, "NUM", true},
            {agreeing(10, ""), true, "", true},  // the empty prefix is the starting candidate
            // Short IDs are unnumbered rows and never stop the search early.
            {[](int row) { return std::string(row % 2 == 0 ? "7" : "AB"); }, false, "AB", false},
        };
    for (const auto& [id, present, base, numbered] : cases) {
        TestWorld w;
        SlotTable& t = w.state.slotTable;
        for (int slot = 1; slot < 1000; ++slot) {
            t.SetDiskId(slot, id(slot), SlotChange::DiskIdRead);
        }
        DeriveBaseId(w.state.slotTable);
        EXPECT_EQ(std::tuple(t.baseIdPresent, base ? t.baseId : "", present && t.baseIdNumbered),
                  std::tuple(present, base ? base : "", numbered));
    }
}

TEST(DescriptionsFormat, OutputNamesTakeTheTxtExtension) {
    for (const auto& [in, out] :
         {std::pair{"/home/u.v/store", "/home/u.v/store.txt"}, {"/a/b.tar.gz", "/a/b.tar.txt"}}) {
        EXPECT_EQ(DescriptionsOutputName(in), out);
    }
}

TEST(DescriptionsFormat, ASlotRecordedMoreThanOnceIsAProblem) {
    std::string nineteen;
    std::string twelve;
    for (int k = 1; k <= 19; ++k) {
        nineteen += "\r\n003  ID>[GAMES003   ]\r\n003   1>x\r\n";
        twelve += k > 12 ? "" : ThreeDigits(k) + "   1>a\r\n" + ThreeDigits(k) + "   1>b\r\n";
    }
    const std::string twice = "; only the record shown can be kept.";
    // clang-format off
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        // One record each; an empty description line and stray blank lines.
        {"005 SRC>a\r\n005  ID>[X]\r\n005   1>one\r\n005   2>\r\n\r\n005   3>c\r\n006   2>y\r\n", {}},
        {"005  ID>[X]\r\n005   1>one\r\n\r\n005  ID>[X]\r\n005   1>one\r\n", {"Slot 005 is recorded 2 times (lines 1, 4)" + twice}},
        {"005   1>one\r\n005   2>two\r\n005   1>again\r\n", {"Slot 005 is recorded 2 times (lines 1, 3)" + twice}},
        {"005   1>one\r\n006   1>six\r\n005   2>two\r\n", {"Slot 005 is recorded 2 times (lines 1, 3)" + twice}},
        {"005  ID>[X]\r\n005 SRC>a\r\n", {"Slot 005 is recorded 2 times (lines 1, 2)" + twice}},
        {nineteen, {"Slot 003 is recorded 19 times (lines 2, 5, 8 and more)" + twice}},
    };
    // clang-format on
    for (const auto& [text, problems] : cases) {
        EXPECT_EQ(RepeatedRecords(text), problems) << text;
    }
    const std::vector<std::string> many = RepeatedRecords(twelve);
    EXPECT_EQ(std::pair(many.size(), many.empty() ? "" : many.back()),
              std::pair(std::size_t{11}, std::string("2 more slots are recorded more than once.")));
}

TEST(DescriptionsFormat, MutatedAndTruncatedFilesNeverCrashTheReader) {
    TestWorld w;
    ProgramState& s = w.state;
    SetGridIds(s, "FDISK", true);
    for (int row = 1; row < 1000; row += 37) {
        s.slotTable.SetDescription(row, "line a\r\n\r\n  line b " + std::to_string(row));
        s.slotTable.SetSource(row, "src" + std::to_string(row));
    }
    const std::string original = ComposeDescriptions(s.slotTable, "seed");
    std::mt19937 random(20261206);
    const std::string alphabet = "0123456789-+. >[]\r\n\t\x7f\x80\xff\0SRCIDN";
    int accepted = 0;
    for (int round = 0; round < 1000; ++round) {
        std::string file = original;
        for (int e = 1 + static_cast<int>(random() % 40); e > 0 && !file.empty(); --e) {
            const std::size_t at = random() % file.size();
            const char c = alphabet[random() % alphabet.size()];
            const unsigned kind = random() % 4;
            kind == 0   ? void(file[at] = c)
            : kind == 1 ? void(file.erase(at, random() % 30))
            : kind == 2 ? void(file.insert(at, std::string(random() % 5, c)))
                        : file.resize(at);  // truncated
        }
        ClearTexts(s);
        accepted += ApplyDescriptions(s.slotTable, file).empty() ? 1 : 0;
        // Whatever was read can be written again and read back the same way.
        const std::string again = ComposeDescriptions(s.slotTable, "again");
        ClearTexts(s);
        ASSERT_TRUE(ApplyDescriptions(s.slotTable, again).empty());
        ASSERT_TRUE(RepeatedRecords(again).empty()) << again;
    }
    EXPECT_GT(accepted, 0);
}

// Fails each step of run in turn, one fresh world per step, until a run
// needs fewer steps of that kind; every kind must occur at least once.
void FailEachStep(const std::function<void(StoreWorld&)>& prepare, int errorNumber,
                  const std::function<bool(StoreWorld&)>& run,
                  const std::function<void(StoreWorld&, FaultOp, int)>& check) {
    for (FaultOp op :
         {FaultOp::Open, FaultOp::Seek, FaultOp::Read, FaultOp::Write, FaultOp::Flush}) {
        for (int k = 1;; ++k) {
            StoreWorld w;
            SetGridIds(w.state, "FDISK", true);
            prepare(w);
            const Bytes slot0 = w.Read(0, fat12::kVolumeBytes);
            const int before = w.devices.Count(op);
            // A write fault moves all but one byte, as a medium that fills up.
            w.devices.Inject(op == FaultOp::Write ? Fault{op, k, "", 0, 1}
                                                  : Fault{op, k, "", errorNumber});
            const bool done = run(w);
            if (w.devices.Count(op) < before + k) {
                EXPECT_TRUE(done && k > 1) << "every kind of step occurs";
                break;
            }
            SCOPED_TRACE("op " + std::to_string(int(op)) + " step " + std::to_string(k));
            EXPECT_FALSE(done);
            EXPECT_EQ(w.devices.OpenHandles(), 0);
            if (w.devices.Count(FaultOp::Write) == 0) {
                EXPECT_TRUE(w.Read(0, fat12::kVolumeBytes) == slot0) << "nothing written";
            }
            check(w, op, k);
        }
    }
}

TEST(Descriptions, WithoutABaseTheCreatedFileHasNoBaseLine) {
    StoreWorld v;
    for (int slot = 1; slot < 1000; ++slot) {
        v.PutLabel(slot, PadRight("S" + std::to_string(slot * 7) + "QQQ", 11));
    }
    ASSERT_EQ(LoadDiskIds(v.ctx, v.state.SelectedStore()), Outcome::Complete);
    EXPECT_TRUE(LoadDescriptions(v.ctx, v.state.SelectedStore()));
    EXPECT_EQ(v.Slot0File(), kCreatedHeader);
    // Created by a save (describe): no lower-case flag, mdir's "DISKS txt".
    StoreWorld w;
    ASSERT_TRUE(ReadDescriptions(w.ctx, w.state.SelectedStore()));
    ASSERT_TRUE(SaveDescriptions(w.ctx, w.state.SelectedStore()));
    EXPECT_EQ(w.Read(fat12::RootEntryOffset(1) + 11, 2), (Bytes{0x20, 0}));
    // Saved again, it keeps what another tool made it (read-only, hidden) and
    // is modified at the program's clock: 14 March 2026, 12:00.
    PutBytes(w.store, fat12::RootEntryOffset(1) + 11, "\x23");
    w.state.slotTable.SetDescription(7, "seven");
    ASSERT_TRUE(SaveDescriptions(w.ctx, w.state.SelectedStore()));
    const fat12::DirectoryItem file =
        fat12::ListDirectory(ReadVolume(w.store, 0, fat12::kVolumeBytes), "").items.at(0);
    const fat12::Stamp noon = fat12::MakeStamp(2026, 3, 14, 12, 0, 0);
    EXPECT_EQ(std::tuple(file.name, file.attributes, file.modified.date, file.modified.time),
              std::tuple("DISKS.TXT", std::byte{0x23}, noon.date, noon.time));
}

// Loading fails silently; saving is reported once and never leaves a half volume.
TEST(Descriptions, EveryFailedStepOfLoadingOrSavingClosesTheDevice) {
    FailEachStep([](StoreWorld&) {}, EIO,
                 [](StoreWorld& w) { return LoadDescriptions(w.ctx, w.state.SelectedStore()); },
                 [](StoreWorld& w, FaultOp, int) {
                     const SlotTable& t = w.state.slotTable;
                     EXPECT_EQ(std::tie(t.baseId, t.baseIdPresent, t.baseIdNumbered),
                               std::tuple("FDISK", true, true));  // derived
                     w.ExpectReport(nullptr);
                 });
    FailEachStep(
        [](StoreWorld& w) {
            ASSERT_TRUE(LoadDescriptions(w.ctx, w.state.SelectedStore()));
            w.state.slotTable.SetDescription(5, std::string(3000, 'd'));
        },
        ENOSPC, [](StoreWorld& w) { return SaveDescriptions(w.ctx, w.state.SelectedStore()); },
        [](StoreWorld& w, FaultOp op, int k) {
            EXPECT_EQ(w.OnlyMessage(), ErrorHead(ENOSPC) + "QrnMsbrSaveDescriptions.Quarnex\r\n" +
                                           GetErrorText(w.ctx, ENOSPC) + "\r\nDISKS.TXT of " +
                                           w.store + " was not saved.");
            EXPECT_EQ(w.ui.messages.at(0).title, "Error");
            if (op == FaultOp::Write && k == 1) {
                // Only the new data clusters were touched: the old file reads on.
                EXPECT_EQ(w.Slot0File(), kCreatedHeader + "--- IDN>[FDISK]\r\n");
            }
        });
}

TEST(Descriptions, AMountedStoreIsReachedThroughItsMountPoint) {
    StoreWorld w;
    // A device node that is not a file, mounted at a folder of ours.
    w.state.devices.Row(1).path = "/dev/null";
    const std::string mount = w.dir / "mnt";
    std::filesystem::create_directories(mount);
    w.drives.mountPoints = {mount};
    WriteFileText(mount + "/Disks.Txt", "---  ID>[MOUNTED]\r\n008   1>eight\r\n");
    EXPECT_TRUE(LoadDescriptions(w.ctx, w.state.SelectedStore()));
    EXPECT_EQ(std::tuple(w.state.slotTable.baseId, w.state.slotTable.Slot(8).description),
              std::tuple("MOUNTED", "eight"));
    ASSERT_TRUE(SaveDescriptions(w.ctx, w.state.SelectedStore()));
    EXPECT_EQ(ReadFileText(mount + "/Disks.Txt")
                  .rfind("Disk Descriptions For USB Image File 'sdb/DISKS.TXT'\r\n", 0),
              0u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(mount), {}), 1)
        << "the existing file was replaced";

    std::filesystem::remove(mount + "/Disks.Txt");
    w.model.grid.Reset();
    EXPECT_TRUE(LoadDescriptions(w.ctx, w.state.SelectedStore()));
    EXPECT_EQ(ReadFileText(mount + "/DISKS.TXT"), kCreatedHeader + "---  ID>[-----------]\r\n");
    EXPECT_EQ(w.devices.OpenHandles(), 0);

    // A folder of that name is neither read nor replaced.
    std::filesystem::remove(mount + "/DISKS.TXT");
    std::filesystem::create_directory(mount + "/disks.txt");
    EXPECT_FALSE(LoadDescriptions(w.ctx, w.state.SelectedStore()) ||
                 SaveDescriptions(w.ctx, w.state.SelectedStore()));
    EXPECT_EQ(w.OnlyMessage(),
              "DISKS.TXT is a folder in slot 0, so the descriptions were not saved.");
    EXPECT_TRUE(std::filesystem::is_directory(mount + "/disks.txt"));
}

}  // namespace
}  // namespace quarnex
