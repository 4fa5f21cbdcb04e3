#include "cli/cli_test_store.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "cli/cli_runner.hpp"
#include "core/media_sizes.hpp"
#include "fat12/volume_label.hpp"

namespace quarnex::testing {

namespace fs = std::filesystem;

const std::string& MasterStore() {
    // Creating writes 1000 slots, so the store is kept in the build tree until
    // the tool is newer; made under a private name and renamed, so tests
    // running side by side never see half a store.
    static const std::string path = [] {
        const std::string store = std::string(QUARNEX_CLI_TEST_DIR) + "/master-store.img";
        std::error_code ec;
        if (fs::exists(store, ec) &&
            fs::last_write_time(store) > fs::last_write_time(CliBinary())) {
            return store;
        }
        const std::string making = store + "." + std::to_string(::getpid());
        const CliResult made = RunCli({"create", making, "--id", "mystick", "--base", "fdisk"});
        if (made.exitCode != 0 || std::rename(making.c_str(), store.c_str()) != 0) {
            throw std::runtime_error("cannot create the master store: " + made.err);
        }
        return store;
    }();
    return path;
}

std::string CopyOfMasterStore(const TempDir& dir, const std::string& name) {
    if (std::system(("cp --sparse=always '" + MasterStore() + "' '" + dir / name + "'").c_str())) {
        throw std::runtime_error("cannot copy the master store");
    }
    return dir / name;
}

std::vector<unsigned char> SlotImage(const std::string& store, int slot) {
    return ReadFileBytes(store, SlotOffset(slot), kImageBytes);
}

nlohmann::json ListJson(const std::string& store) {
    const CliResult listed = RunCli({"list", store, "--json"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    return nlohmann::json::parse(listed.out);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::uint64_t FileSizeOrZero(const std::string& path) {
    std::error_code ec;
    const std::uint64_t size = fs::file_size(path, ec);
    return ec ? 0 : size;
}

std::vector<unsigned char> PatternImage(unsigned seed, const std::string& label) {
    std::vector<unsigned char> image(kImageBytes);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<unsigned char>((i / kTrackBytes * 7 + i * 13 + seed) & 0xFF);
    }
    // A boot sector that a store accepts: 2880 sectors, FAT12, the label.
    for (const auto& [at, text] :
         {std::pair<std::size_t, std::string>{19, "\x40\x0B"},
          {54, "FAT12   "},
          {fat12::kBootLabelOffset, (label + "           ").substr(0, fat12::kLabelBytes)}}) {
        std::copy(text.begin(), text.end(), image.begin() + static_cast<long>(at));
    }
    return image;
}

}  // namespace quarnex::testing
