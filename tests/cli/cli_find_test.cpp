// find on a store: a file two folders down in one slot, descriptions and
// Disk IDs, by part of a name or by a whole-name pattern; the exit code says
// whether anything matched.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli/cli_runner.hpp"

namespace quarnex::testing {
namespace {

TEST(CliFind, FindsFilesInFoldersDescriptionsAndIds) {
    TempDir dir;
    const std::string store = CopyOfMasterStore(dir, "store.img");
    WriteFileText(dir / "Lemmings Data.dat", "levels");
    RunOk({"files", "mkdir", store, "--slot", "7", "-p", "Games/Old Ones", "--yes"});
    RunOk({"files", "put", store, "--slot", "7", dir / "Lemmings Data.dat", "--to",
           "games/old ones", "--yes"});
    RunOk({"describe", store, "12", "Lathe programs\\nMarch", "--yes"});

    const std::string file = "007 FDISK007     file: Games/Old Ones/Lemmings Data.dat\n";
    const std::tuple<const char*, int, std::string> cases[] = {
        {"lemmings", 0, file},      // part of a long name
        {"LEMMIN~1.DAT", 0, file},  // the short name
        {"*.d?t", 0, file},         // a whole name
        {"emm*", 1, ""},            // a pattern must match the whole name
        {"old", 0, "007 FDISK007     file: Games/Old Ones\n"},
        {"MARCH", 0, "012 FDISK012     description: Lathe programs\\nMarch\n"},
        {"?disk999", 0, "999 FDISK999     id: FDISK999\n"},
        {"nowhere", 1, ""},
    };
    for (const auto& [pattern, code, out] : cases) {
        SCOPED_TRACE(pattern);
        const std::string nothing = "nothing in " + store + " matches \"" + pattern + "\"";
        const CliResult run = ExpectRun({"find", store, pattern}, code, code ? nothing : "", out);
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'),
                  std::count(out.begin(), out.end(), '\n'));
    }
    const nlohmann::json json =
        nlohmann::json::parse(RunOk({"find", store, "*DATA*", "--json"}).out);
    EXPECT_EQ(json, nlohmann::json::parse(R"({"matches": [{"slot": 7, "id": "FDISK007   ",
        "found_in": "file", "text": "Games/Old Ones/Lemmings Data.dat"}]})"));
    ExpectRun({"find", dir / "missing.img", "x"}, 1, "missing.img");
}

}  // namespace
}  // namespace quarnex::testing
