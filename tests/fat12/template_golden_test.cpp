// The template the build writes, byte for byte against a checked-in dump, and
// as the standard FAT tools see it.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "store/store_world.hpp"

namespace quarnex {
namespace {

using Bytes = std::string;

constexpr const char* kTemplatePath = "QuarnCfg/FAT12.144";  // tests run beside the programs

// The golden file: a "length N" line and xxd rows (offset, 16 bytes, text) of
// every row that is not all zero.
Bytes ReadGolden() {
    std::ifstream file(QUARNEX_TEST_SOURCE_DIR "/fat12/fat12_template.golden.txt");
    EXPECT_TRUE(file) << "golden file missing";
    Bytes bytes;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line.starts_with("length ")) {
            bytes.assign(std::stoul(line.substr(7)), '\0');
            continue;
        }
        std::size_t at = std::stoul(line.substr(0, 8), nullptr, 16);
        std::istringstream hex(line.substr(10, 39));
        for (std::string group; hex >> group;) {
            for (std::size_t i = 0; i + 1 < group.size(); i += 2) {
                bytes.at(at++) = static_cast<char>(std::stoul(group.substr(i, 2), nullptr, 16));
            }
        }
    }
    return bytes;
}

TEST(Fat12Template, BuildWritesExactlyTheCheckedInBytes) {
    std::ifstream file(kTemplatePath, std::ios::binary);
    ASSERT_TRUE(file) << "the build must write " << kTemplatePath;
    const Bytes actual{std::istreambuf_iterator<char>(file), {}};
    const Bytes golden = ReadGolden();
    ASSERT_EQ(golden.size(), 1474560u);
    const auto [at, _] = std::mismatch(golden.begin(), golden.end(), actual.begin(), actual.end());
    EXPECT_TRUE(golden == actual) << "first difference at byte " << (at - golden.begin())
                                  << ", length " << actual.size();
}

TEST(Fat12Template, FsckAcceptsItAndMtoolsReadsItsLabel) {
    if (!testing::HaveTool("fsck.fat") || !testing::HaveTool("mdir")) {
        GTEST_SKIP() << "fsck.fat or mdir not installed";
    }
    std::string output;
    EXPECT_EQ(testing::RunCommand(std::string("fsck.fat -n ") + kTemplatePath, &output), 0)
        << output;
    EXPECT_EQ(testing::RunCommand(
                  std::string("MTOOLS_SKIP_CHECK=1 mdir -i ") + kTemplatePath + " ::", &output),
              0);
    EXPECT_NE(output.find("Volume in drive : is QUARNEX"), std::string::npos) << output;
}

}  // namespace
}  // namespace quarnex
