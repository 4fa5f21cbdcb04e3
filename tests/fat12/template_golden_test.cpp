// The template the build writes, byte for byte against a checked-in dump, and
// as the standard FAT tools see it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "store/store_world.hpp"

namespace quarnex {
namespace {

constexpr const char* kTemplatePath = "QuarnCfg/FAT12.144";  // tests run beside the programs

// The golden file: a "length N" line and xxd rows (offset, 16 bytes, text) of
// every row that is not all zero.
std::string ReadGolden() {
    std::ifstream file(QUARNEX_TEST_SOURCE_DIR "/fat12/fat12_template.golden.txt");
    std::string bytes;
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with("length ")) {
            bytes.assign(std::stoul(line.substr(7)), '\0');
        } else if (!line.empty() && line[0] != '#') {
            std::size_t at = std::stoul(line.substr(0, 8), nullptr, 16);
            std::string hex = line.substr(10, 39);
            std::erase(hex, ' ');
            for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
                bytes.at(at++) = static_cast<char>(std::stoul(hex.substr(i, 2), nullptr, 16));
            }
        }
    }
    return bytes;
}

TEST(Fat12Template, BuildWritesExactlyTheCheckedInBytes) {
    std::ifstream file(kTemplatePath, std::ios::binary);
    ASSERT_TRUE(file) << "the build must write " << kTemplatePath;
    const std::string actual{std::istreambuf_iterator<char>(file), {}};
    const std::string golden = ReadGolden();
    ASSERT_EQ(golden.size(), 1474560u);
    EXPECT_TRUE(golden == actual) << "length " << actual.size();
}

TEST(Fat12Template, FsckAcceptsItAndMtoolsReadsItsLabel) {
    if (!testing::HaveTools({"fsck.fat", "mdir"})) {
        GTEST_SKIP() << "fsck.fat or mdir not installed";
    }
    std::string output;
    EXPECT_EQ(testing::RunCommand(std::string("fsck.fat -n ") + kTemplatePath, &output), 0)
        << output;
    output = testing::Mtools(std::string("mdir -i ") + kTemplatePath + " ::");
    EXPECT_NE(output.find("Volume in drive : is QUARNEX"), std::string::npos) << output;
}

}  // namespace
}  // namespace quarnex
