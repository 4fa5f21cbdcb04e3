#include "cli/cli_runner.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "core/media_sizes.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/volume_label.hpp"

namespace quarnex::testing {

CliResult RunCli(const std::vector<std::string>& args, const CliOptions& options) {
    return CliProcess(args, options).Wait();
}

namespace fs = std::filesystem;

const std::string& MasterStore() {
    // Creating writes 1000 slots, so the store is kept in the build tree until
    // the tool is newer; made under a private name and renamed, so tests
    // running side by side never see half a store.
    static const std::string path = [] {
        // Absolute in the system's own form: on Windows "/..." is taken for an option.
        const std::string store = fs::absolute(QUARNEX_CLI_TEST_DIR).string() + "/master-store.img";
        const auto current = [&] {
            std::error_code ec;
            return fs::exists(store, ec) &&
                   fs::last_write_time(store, ec) > fs::last_write_time(QUARNEX_CLI_BINARY, ec);
        };
        if (current()) {
            return store;
        }
        const std::string making = store + "." + std::to_string(::getpid());
        std::error_code ec;
        fs::remove(making, ec);  // left by a run that was stopped; process numbers come again
        const CliResult made = RunCli({"create", making, "--id", "mystick", "--base", "fdisk"});
        // Windows replaces no file that a test beside this one has open.
        fs::rename(making, store, ec);
        if (made.exitCode != 0 || (ec && !current())) {
            throw std::runtime_error("cannot create the master store: " + made.err + ec.message());
        }
        fs::remove(making, ec);
        return store;
    }();
    return path;
}

bool SameBytes(const std::string& a, const std::string& b) {
    const std::uint64_t size = FileSize(a);
    for (std::uint64_t at = 0, chunk = 64 << 20; at < size; at += chunk) {
        if (ReadFileBytes(a, at, chunk) != ReadFileBytes(b, at, chunk)) {
            return false;
        }
    }
    return size == FileSize(b);
}

std::vector<unsigned char> SlotImage(const std::string& store, int slot) {
    return ReadFileBytes(store, SlotOffset(slot), kImageBytes);
}

std::string DisksTxt(const std::string& store) {
    const fat12::FileRead read =
        fat12::ReadRootFile(ReadVolume(store, 0, fat12::kVolumeBytes), "DISKS.TXT");
    return read.status == fat12::Status::Ok ? read.contents : "<unreadable>";
}

CliResult RunOk(const std::vector<std::string>& args, const CliOptions& options) {
    return ExpectRun(args, 0, "", "", options);
}

void ExpectParts(const std::string& text, const std::string& parts) {
    for (std::size_t at = 0; at <= parts.size();) {
        const std::size_t bar = std::min(parts.find('|', at), parts.size());
        EXPECT_TRUE(Contains(text, parts.substr(at, bar - at))) << text.substr(0, 900);
        at = bar + 1;
    }
}

CliResult ExpectRun(const std::vector<std::string>& args, int code, const std::string& err,
                    const std::string& out, const CliOptions& options) {
    CliResult run = RunCli(args, options);
    SCOPED_TRACE(::testing::PrintToString(args));
    EXPECT_EQ(run.exitCode, code) << run.err;
    ExpectParts(run.err, err);
    ExpectParts(run.out, out);
    EXPECT_TRUE(code == 0 || !out.empty() || run.out.empty()) << run.out;
    return run;
}

std::vector<std::string> Words(const std::string& line,
                               const std::map<std::string, std::string>& names) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        const auto named = names.find(word);
        words.push_back(named == names.end() ? word : named->second);
    }
    return words;
}

nlohmann::json ListJson(const std::string& store) {
    return nlohmann::json::parse(RunOk({"list", store, "--json"}).out);
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
