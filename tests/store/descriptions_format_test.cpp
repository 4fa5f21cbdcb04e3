#include "store/descriptions_format.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <tuple>

#include "core/text.hpp"
#include "store/store_paths.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

using testing::SetGridIds;
using testing::TestWorld;

void ClearColumn2(ProgramState& state) {
    for (int row = 1; row < 1000; ++row) {
        state.slotTable.SetCell(row, 2, "");
        state.slotTable.DiskDescriptions[static_cast<std::size_t>(row)].clear();
        state.slotTable.DiskSources[static_cast<std::size_t>(row)].clear();
    }
    state.slotTable.BaseId.clear();
    state.slotTable.BaseIdPresent = state.slotTable.BaseIdNumbered = false;
}

TEST(DescriptionsFormat, WriterListsOnlySlotsThatNeedARecord) {
    TestWorld w;
    ProgramState& s = w.state;
    SetGridIds(s, "FDISK", true);
    s.slotTable.BaseId = "FDISK";
    s.slotTable.BaseIdPresent = s.slotTable.BaseIdNumbered = true;
    s.slotTable.SetCell(7, 2, "First line\r\n\r\n  indented");
    s.slotTable.DiskSources[7] = "/home/u/dos.img";
    s.slotTable.SetCell(12, 1, " GAMES       *");  // altered ID with a selection marker
    s.slotTable.DiskSources[30] = "A:";
    s.slotTable.SetCell(31, 1, " -----------  ");

    const std::string expected = "Disk Descriptions For USB Image File 'sdb/DISKS.TXT'\r\n" +
                                 std::string(testing::kListHeader) +
                                 "--- IDN>[FDISK]\r\n"
                                 "\r\n007 SRC>/home/u/dos.img\r\n007  ID>[FDISK007   ]\r\n"
                                 "007   1>First line\r\n007   2>\r\n007   3>  indented\r\n"
                                 "\r\n012  ID>[GAMES      ]\r\n"
                                 "\r\n030 SRC>A:\r\n030  ID>[FDISK030   ]\r\n"
                                 "\r\n031  ID>[-----------]\r\n"
                                 "\r\n";
    EXPECT_EQ(ComposeDescriptions(s, "sdb/DISKS.TXT"), expected);

    // Unnumbered base, and a base too long for its field is written as read.
    SetGridIds(s, "ABC", false);
    s.slotTable.BaseId = "ABC";
    s.slotTable.BaseIdNumbered = false;
    s.slotTable.DiskSources.fill("");
    s.slotTable.SetCell(7, 2, "");
    s.slotTable.SetCell(999, 2, "x\r\n");
    EXPECT_EQ(ComposeDescriptions(s, "n"), "Disk Descriptions For USB Image File 'n'\r\n" +
                                               std::string(testing::kListHeader) +
                                               "---  ID>[ABC]\r\n\r\n999  ID>[ABC        ]\r\n"
                                               "999   1>x\r\n\r\n");
    s.slotTable.BaseId = "A VERY LONG BASE";
    const std::string text = ComposeDescriptions(s, "n");
    EXPECT_NE(text.find("---  ID>[A VERY LONG BASE]\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n500  ID>[ABC        ]\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n") << "the file always ends complete";
}

TEST(DescriptionsFormat, SavedDescriptionsComeBackFromTheFile) {
    std::string longest;  // lines past 999 join the last one
    for (int k = 1; k <= 1002; ++k) {
        longest += (k > 1 ? "\r\n" : "") + std::string("L") + std::to_string(k);
    }
    // Slot k+1: description and source saved, description read back.
    const std::tuple<std::string, std::string, std::string> rows[] = {
        {"a\r\n\r\nb", "", "a\r\n\r\nb"},
        {"   leading kept   ", "", "   leading kept"},  // trailing spaces are lost
        {"ends with a break\r\n", "", "ends with a break"},
        {"D20", "USB Disk(004)   [sdc  (/dev/sdc)]", "D20"},
        {"", "only a source", "only a source"},  // the source stands in
        {"", "", ""},                            // an altered ID alone gives none
        {longest, "", longest.substr(0, longest.find("\r\nL1000")) + " L1000 L1001 L1002"},
    };
    TestWorld w;
    SlotTable& t = w.state.slotTable;
    SetGridIds(w.state, "FDISK", true);
    t.BaseId = "FDISK";
    t.BaseIdPresent = t.BaseIdNumbered = true;
    t.SetCell(6, 1, " OTHER       ");
    for (std::size_t k = 0; k < std::size(rows); ++k) {
        t.SetCell(static_cast<int>(k + 1), 2, std::get<0>(rows[k]));
        t.DiskSources[k + 1] = std::get<1>(rows[k]);
    }
    const std::string text = ComposeDescriptions(w.state, "x");
    ClearColumn2(w.state);
    ASSERT_TRUE(ApplyDescriptions(w.state, text));
    EXPECT_EQ(std::tie(t.BaseId, t.BaseIdPresent, t.BaseIdNumbered),
              std::tuple("FDISK", true, true));
    for (std::size_t k = 0; k < std::size(rows); ++k) {
        EXPECT_EQ(std::tuple(t.Cell(static_cast<int>(k + 1), 2), t.DiskSources[k + 1]),
                  std::tuple(std::get<2>(rows[k]), std::get<1>(rows[k])))
            << k + 1;
    }
    w.model.grid.FitRowHeights();
    EXPECT_EQ(w.model.grid.RowHeight(1), 3 * 240 + 45);
    EXPECT_EQ(w.model.grid.RowHeight(5), w.model.grid.BaseRowHeight());
    // The next save writes the source back as description line 1.
    EXPECT_NE(ComposeDescriptions(w.state, "x")
                  .find("005 SRC>only a source\r\n005  ID>[FDISK005   ]\r\n"
                        "005   1>only a source\r\n"),
              std::string::npos);
}

TEST(DescriptionsFormat, ReaderSkipsWhatIsNotARecordAndToleratesLineEnds) {
    TestWorld w;
    ProgramState& s = w.state;
    const std::string file =
        "junk\n---  ID>[MYBASE]\r"
        "1000 SRC>x\r\n"
        "999 SRC>\r\n"
        "  005   1>one   \n"
        "005   2>two\r\n"
        "005   1>restart\r\n"
        "005   7>seven\r\n"
        "006  ID>[IGNORED    ]\r\n"
        "006 IDN>[IGNORED    ]\r\n"
        "000   1>header row\r\n"
        "0x7   1>lenient\r\n"
        "008 ABC>any other kind appends\r\n"
        "--- XYZ>[NOPE]\r\n"
        "012   1>no line end";
    ASSERT_TRUE(ApplyDescriptions(s, file));
    EXPECT_EQ(s.slotTable.BaseId, "MYBASE");
    EXPECT_TRUE(s.slotTable.BaseIdPresent);
    EXPECT_FALSE(s.slotTable.BaseIdNumbered);
    EXPECT_EQ(s.slotTable.DiskSources[999], "");
    EXPECT_EQ(s.slotTable.Cell(5, 2), "restart\r\nseven");
    EXPECT_EQ(s.slotTable.Cell(6, 2), "");
    EXPECT_EQ(s.slotTable.Cell(0, 2), " Disk Description") << "slot 000 is ignored";
    EXPECT_EQ(s.slotTable.DiskDescriptions[0], "");
    EXPECT_EQ(s.slotTable.Cell(12, 2), "no line end");
    EXPECT_EQ(s.slotTable.Cell(8, 2), "\r\nany other kind appends");
    EXPECT_EQ(s.slotTable.Cell(7, 2), "") << "0x7 reads as slot 0";

    ClearColumn2(s);
    ASSERT_TRUE(ApplyDescriptions(s, "--- IDN>[]\r\n"));
    EXPECT_EQ(s.slotTable.BaseId, "");
    EXPECT_TRUE(s.slotTable.BaseIdPresent && s.slotTable.BaseIdNumbered);

    ClearColumn2(s);
    EXPECT_FALSE(ApplyDescriptions(s, "004   1>kept\r\n-01   1>bad\r\n004   2>never\r\n"));
    EXPECT_EQ(s.slotTable.Cell(4, 2), "kept");
}

TEST(DescriptionsFormat, BaseIdIsDerivedFromElevenAgreeingRows) {
    struct Case {
        const char* name;
        std::function<std::string(int row)> id;  // the Disk ID shown in the row
        bool present;
        const char* base;  // nullptr: not looked at
        bool numbered;
    };
    const auto agreeing = [](int count, const std::string& prefix) {
        return [count, prefix](int row) {
            return row <= count ? prefix + ThreeDigits(row) : "X" + std::to_string(row) + "QQQ";
        };
    };
    const Case cases[] = {
        {"numbered", [](int row) { return "FDISK" + ThreeDigits(row); }, true, "FDISK", true},
        {"unreadable", [](int) { return std::string("-----------"); }, true, "-----------", false},
        {"unnumbered", [](int) { return std::string("ABC"); }, true, "ABC", false},
        {"ten numbered rows establish nothing", agreeing(10, "NUM"), false, nullptr, false},
        {"the eleventh agreeing row does", agreeing(11, "NUM"), true, "NUM", true},
        // The empty prefix equals the starting candidate, so ten rows suffice.
        {"bare numbers", agreeing(10, ""), true, "", true},
        // Short IDs are unnumbered rows and never stop the search early.
        {"short IDs", [](int row) { return std::string(row % 2 == 0 ? "7" : "AB"); }, false, "AB",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWorld w;
        for (int row = 1; row < 1000; ++row) {
            w.state.slotTable.SetCell(row, 1, " " + c.id(row) + " ");
        }
        DeriveBaseId(w.state);
        EXPECT_EQ(w.state.slotTable.BaseIdPresent, c.present);
        if (c.base != nullptr) {
            EXPECT_EQ(w.state.slotTable.BaseId, c.base) << "the candidate as the loop left it";
        }
        if (c.present) {
            EXPECT_EQ(w.state.slotTable.BaseIdNumbered, c.numbered);
        }
    }
}

TEST(DescriptionsFormat, OutputNamesTakeTheTxtExtension) {
    for (const auto& [in, out] : {std::pair{"sdb/DISKS.TXT", "sdb/DISKS.txt"},
                                  {"/home/u.v/store", "/home/u.v/store.txt"},
                                  {"/a/b.tar.gz", "/a/b.txt"},
                                  {"plain", "plain.txt"}}) {
        EXPECT_EQ(DescriptionsOutputName(in), out);
    }
}

TEST(DescriptionsFormat, MutatedAndTruncatedFilesNeverCrashTheReader) {
    TestWorld w;
    ProgramState& s = w.state;
    SetGridIds(s, "FDISK", true);
    for (int row = 1; row < 1000; row += 37) {
        s.slotTable.SetCell(row, 2, "line a\r\n\r\n  line b " + std::to_string(row));
        s.slotTable.DiskSources[static_cast<std::size_t>(row)] = "src" + std::to_string(row);
    }
    const std::string original = ComposeDescriptions(s, "seed");
    std::mt19937 random(20261206);
    const std::string alphabet = "0123456789-+. >[]\r\n\t\x7f\x80\xff\0SRCIDN";
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
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
        ClearColumn2(s);
        accepted += ApplyDescriptions(s, file) ? 1 : 0;
        for (int row = 1; row < 1000; ++row) {
            ASSERT_EQ(s.slotTable.Cell(row, 2),
                      s.slotTable.DiskDescriptions[static_cast<std::size_t>(row)]);
        }
        // Whatever was read can be written again and read back the same way.
        const std::string again = ComposeDescriptions(s, "again");
        ClearColumn2(s);
        ASSERT_TRUE(ApplyDescriptions(s, again));
    }
    EXPECT_GT(accepted, 0);
}

}  // namespace
}  // namespace quarnex
