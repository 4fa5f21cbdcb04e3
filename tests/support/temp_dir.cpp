#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace quarnex::testing {

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void MakeSparseFile(const std::string& path, std::uint64_t size) {
    std::ofstream{path, std::ios::binary | std::ios::trunc};
    std::filesystem::resize_file(path, size);
}

void WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

void WriteFileText(const std::string& path, const std::string& text) {
    WriteFileBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

void PutBytes(const std::string& path, std::uint64_t offset, std::string_view bytes) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(offset));
    if (!file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
        throw std::runtime_error("cannot write into " + path);
    }
}

void PutBytes(const std::string& path, std::uint64_t offset,
              const std::vector<unsigned char>& bytes) {
    PutBytes(path, offset,
             std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::vector<unsigned char> ReadFileBytes(const std::string& path, std::uint64_t offset,
                                         std::size_t count) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    const std::uint64_t size = std::filesystem::file_size(path);
    std::vector<unsigned char> bytes(
        offset >= size ? 0 : std::min<std::uint64_t>(count, size - offset));
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

std::string ReadFileText(const std::string& path) {
    const std::vector<unsigned char> bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::uint64_t FileSize(const std::string& path) {
    return std::filesystem::file_size(path);
}

std::vector<std::byte> ReadVolume(const std::string& path, std::uint64_t offset,
                                  std::size_t count) {
    const std::vector<unsigned char> bytes = ReadFileBytes(path, offset, count);
    const auto* begin = reinterpret_cast<const std::byte*>(bytes.data());
    return {begin, begin + bytes.size()};
}

bool HaveTools(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (RunCommand(std::string("command -v ") + name + " >/dev/null") != 0) {
            return false;
        }
    }
    return true;
}

std::string Mtools(const std::string& command) {
    std::string output;
    EXPECT_EQ(RunCommand("export MTOOLS_SKIP_CHECK=1; " + command, &output), 0) << command << "\n"
                                                                                << output;
    return output;
}

std::set<std::string> MtoolsPaths(const std::string& image) {
    std::istringstream lines(Mtools("mdir -/ -b -i '" + image + "' ::"));
    std::set<std::string> paths;
    for (std::string line; std::getline(lines, line);) {
        paths.insert(line);
    }
    return paths;
}

std::uint64_t MtoolsFreeBytes(const std::string& image) {
    const std::string out = Mtools("mdir -i '" + image + "' ::");
    std::smatch free;
    std::string digits;
    if (std::regex_search(out, free, std::regex("([0-9 ]+) bytes free"))) {
        std::ranges::remove_copy(free[1].str(), std::back_inserter(digits), ' ');
    }
    return digits.empty() ? 0 : std::stoull(digits);
}

}  // namespace quarnex::testing
