// The template the build writes, byte for byte against a checked-in dump.
// (fsck.fat on an image made from it: the terminal tool's image test.)
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

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

}  // namespace
}  // namespace quarnex
