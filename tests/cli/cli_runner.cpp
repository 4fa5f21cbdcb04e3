#include "cli/cli_runner.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "core/media_sizes.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/volume_label.hpp"

namespace quarnex::testing {

namespace {

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

int WaitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

const std::string kCliBinary = QUARNEX_CLI_BINARY;

}  // namespace

CliResult RunCli(const std::vector<std::string>& args, const CliOptions& options) {
    return CliProcess(args, options).Wait();
}

CliProcess::CliProcess(const std::vector<std::string>& args, const CliOptions& options) {
    std::string command = ShellQuote(kCliBinary);
    for (const std::string& arg : args) {
        command += " " + ShellQuote(arg);
    }
    if (options.onTerminal) {
        // script gives the command a terminal for stdin, stdout and stderr;
        // everything it writes arrives on script's stdout.
        command = "script -qefc " + ShellQuote(command) + " /dev/null";
    }
    if (options.asNobody) {
        command = "setpriv --reuid=65534 --regid=65534 --clear-groups -- " + command;
    }
    WriteFileText(files_ / "in", options.input);
    // exec: the shell becomes the command, so that Interrupt reaches it.
    const std::string line = "exec " + command + " <" + ShellQuote(files_ / "in") + " >" +
                             ShellQuote(files_ / "out") + " 2>" + ShellQuote(files_ / "err");
    const char* argv[] = {"sh", "-c", line.c_str(), nullptr};
    if (::posix_spawn(&pid_, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
        throw std::runtime_error("cannot start " + line);
    }
}

CliProcess::~CliProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        WaitFor(pid_);
    }
}

void CliProcess::Interrupt() {
    ::kill(pid_, SIGINT);
}

CliResult CliProcess::Wait() {
    CliResult result{WaitFor(pid_), ReadFileText(files_ / "out"), ReadFileText(files_ / "err")};
    pid_ = -1;
    return result;
}

namespace fs = std::filesystem;

const std::string& MasterStore() {
    // Creating writes 1000 slots, so the store is kept in the build tree until
    // the tool is newer; made under a private name and renamed, so tests
    // running side by side never see half a store.
    static const std::string path = [] {
        const std::string store = std::string(QUARNEX_CLI_TEST_DIR) + "/master-store.img";
        std::error_code ec;
        if (fs::exists(store, ec) && fs::last_write_time(store) > fs::last_write_time(kCliBinary)) {
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
    std::string line;
    for (const std::string& arg : args) {
        line += " " + arg;
    }
    SCOPED_TRACE(line);
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
