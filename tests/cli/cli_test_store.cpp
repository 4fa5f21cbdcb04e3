#include "cli/cli_test_store.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "cli/cli_runner.hpp"
#include "core/media_sizes.hpp"
#include "fat12/volume_label.hpp"

namespace quarnex::testing {

namespace {

std::int64_t ModifiedNanoseconds(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return -1;
    }
    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

}  // namespace

const std::string& MasterStore() {
    // Creating a store writes 1000 slots, and every test runs in a process
    // of its own: the store is kept in the build tree and made again only
    // when the tool is newer. It is made under a private name and renamed,
    // so tests running side by side never see half a store.
    static const std::string path = [] {
        const std::string store = std::string(QUARNEX_CLI_TEST_DIR) + "/master-store.img";
        if (ModifiedNanoseconds(store) > ModifiedNanoseconds(CliBinary())) {
            return store;
        }
        const std::string making = store + "." + std::to_string(::getpid());
        const CliResult made = RunCli({"create", making, "--id", "mystick", "--base", "fdisk"});
        if (made.exitCode != 0 || std::rename(making.c_str(), store.c_str()) != 0) {
            std::remove(making.c_str());
            throw std::runtime_error("cannot create the master store: " + made.err);
        }
        return store;
    }();
    return path;
}

std::string CopyOfMasterStore(const TempDir& dir, const std::string& name) {
    const std::string path = dir / name;
    const std::string command = "cp --sparse=always '" + MasterStore() + "' '" + path + "'";
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("cannot copy the master store");
    }
    return path;
}

std::vector<unsigned char> SlotImage(const std::string& store, int slot) {
    return ReadFileBytes(store, SlotOffset(slot), kImageBytes);
}

std::string Label(const std::vector<unsigned char>& image, std::size_t offset) {
    const auto at = image.begin() + static_cast<long>(offset);
    return std::string(at, at + fat12::kLabelBytes);
}

std::string DisksTxt(const std::string& store) {
    const std::string command = "mtype -i '" + store + "' ::DISKS.TXT 2>&1";
    std::string text;
    FILE* pipe = ::popen(command.c_str(), "r");
    char chunk[4096];
    std::size_t n = 0;
    while (pipe != nullptr && (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        text.append(chunk, n);
    }
    if (pipe != nullptr) {
        ::pclose(pipe);
    }
    return text;
}

nlohmann::json ListJson(const std::string& store) {
    const CliResult listed = RunCli({"list", store, "--json"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    return nlohmann::json::parse(listed.out);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

bool SameBytes(const std::string& a, const std::string& b) {
    return std::system(("cmp -s '" + a + "' '" + b + "'").c_str()) == 0;
}

std::uint64_t FileSizeOrZero(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

std::vector<unsigned char> PatternImage(unsigned seed, const std::string& label) {
    std::vector<unsigned char> image(kImageBytes);
    unsigned value = seed * 2654435761u + 1;
    for (unsigned char& byte : image) {
        value = value * 1103515245u + 12345u;
        byte = static_cast<unsigned char>(value >> 16);
    }
    // A boot sector that a store would accept, with the label in place.
    image[19] = 0x40;  // 2880 sectors
    image[20] = 0x0B;
    const std::string type = "FAT12   ";
    std::copy(type.begin(), type.end(), image.begin() + 54);
    std::string padded = label;
    padded.resize(fat12::kLabelBytes, ' ');
    std::copy(padded.begin(), padded.end(), image.begin() + fat12::kBootLabelOffset);
    return image;
}

}  // namespace quarnex::testing
