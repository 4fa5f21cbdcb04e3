// The template the build writes, byte for byte against a checked-in dump, and
// as the standard FAT tools see it.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <sstream>
#include <string>

#include "store/store_world.hpp"

namespace quarnex {
namespace {

using Bytes = std::string;

constexpr const char* kTemplatePath = "QuarnCfg/FAT12.144";  // tests run beside the programs
constexpr std::size_t kRow = 16;

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

std::string Row(const Bytes& bytes, std::size_t offset) {
    std::ostringstream text;
    text << std::hex << std::setfill('0');
    for (std::size_t i = offset; i < std::min(offset + kRow, bytes.size()); ++i) {
        text << ' ' << std::setw(2) << static_cast<unsigned>(static_cast<unsigned char>(bytes[i]));
    }
    return text.str();
}

// Every differing 16-byte row: its offset and both versions.
std::string Differences(const Bytes& expected, const Bytes& actual) {
    std::ostringstream report;
    if (expected.size() != actual.size()) {
        report << "length " << actual.size() << ", expected " << expected.size() << "\n";
    }
    for (std::size_t row = 0; row < std::min(expected.size(), actual.size()); row += kRow) {
        if (expected.compare(row, kRow, actual, row, kRow) != 0) {
            report << std::hex << std::setfill('0') << std::setw(8) << row << " expected"
                   << Row(expected, row) << "\n         actual  " << Row(actual, row) << "\n";
        }
    }
    return report.str();
}

TEST(Fat12Template, BuildWritesExactlyTheCheckedInBytes) {
    std::ifstream file(kTemplatePath, std::ios::binary);
    ASSERT_TRUE(file) << "the build must write " << kTemplatePath;
    const Bytes actual{std::istreambuf_iterator<char>(file), {}};
    const Bytes golden = ReadGolden();
    ASSERT_EQ(golden.size(), 1474560u);
    EXPECT_EQ(Differences(golden, actual), "");

    // The comparison itself names the row of a changed byte.
    Bytes changed = golden;
    changed[0x2B] = 'X';
    EXPECT_EQ(Differences(golden, changed).substr(0, 20), "00000020 expected 00");
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
