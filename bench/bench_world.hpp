#pragma once
// What the store benchmarks share: a program state wired to the real device
// backend (from MakePlatform) with a silent Ui, one selected store, and dd run
// through the shell.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands/context.hpp"
#include "commands/error_report_text.hpp"
#include "commands/window_progress.hpp"
#include "platform/platform.hpp"

namespace quarnex::bench {

using Timer = std::chrono::steady_clock;

class BenchUi final : public Ui {
  public:
    MessageAnswer ShowMessage(const MessageRequest& request) override {
        std::cerr << request.title << ": " << request.text << "\n";
        ++messages;
        return MessageAnswer::Ok;
    }
    void ShowError(const ErrorRecord& error) override { ShowMessage(ErrorReportMessage(error)); }
    std::optional<std::string> AskOpenFile(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> AskSaveFile(const FileDialogRequest&) override {
        return std::nullopt;
    }
    int AskAdvisory() override { return 0; }
    void Changed(WindowPart) override {}
    void PumpEvents() override {}
    int messages = 0;
};

// The store's letter is its own path, so its volume is the store itself.
class NoDrives final : public DriveCatalog {
  public:
    std::vector<DriveListEntry> DriveList() override { return {}; }
    DriveKind GetDriveType(const std::string&) override { return DriveKind::NoRoot; }
    std::string VolumePath(const std::string& drive) override { return drive; }
    std::optional<PhysicalDrive> WholeDiskOf(const std::string&, int& error) override {
        error = 19;
        return std::nullopt;
    }
    DriveDetails Details(const std::string&) override { return {}; }
    std::vector<std::string> MountPoints(const std::string&) override { return {}; }
    std::string RightsProbePath() override { return "/"; }
    std::string FloppyPath(FloppyDrive) override { return {}; }
};

struct BenchWorld {
    // letter: what stands where a drive would; path: the store's file or device.
    BenchWorld(const std::string& letter, const std::string& path) {
        if (!AllocateBuffers(state)) {
            throw std::runtime_error("cannot allocate the buffers");
        }
        DeviceEntry& entry = state.devices.Row(1);
        entry.name = letter;
        entry.path = path;
        state.devices.count = 1;
        state.selectedDevice = 1;
        state.adminRights = 1;
    }

    ProgramState state;
    Platform platform = MakePlatform();
    DeviceBackend& devices = *platform.devices;
    NoDrives drives;
    BenchUi ui;
    Clock& clock = *platform.clock;
    WindowProgress progress{state, ui};
    Context ctx{state, devices, drives, ui, clock, progress};
};

inline double Seconds(Timer::time_point start) {
    return std::chrono::duration<double>(Timer::now() - start).count();
}

// Runs a shell command and returns how long it took; throws when it fails.
inline double TimedShell(const std::string& command) {
    const auto start = Timer::now();
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("failed: " + command);
    }
    return Seconds(start);
}

// quarnex-cli beside this benchmark program, as the build puts it.
inline std::string CliBesideThisProgram() {
    return std::filesystem::path(MakePlatform().paths->RunningExecutable())
        .replace_filename("quarnex-cli")
        .string();
}

// A command to time, and an untimed one that sets the scene before each run.
struct TimedCommand {
    std::string run;
    std::string before{};
};

// The best time of each command over rounds; every round runs them all in
// turn, so that none always meets a warm or a cold cache.
inline std::vector<double> BestTimes(const std::vector<TimedCommand>& commands, int rounds) {
    std::vector<double> best(commands.size(), std::numeric_limits<double>::max());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < commands.size(); ++i) {
            if (!commands[i].before.empty()) {
                TimedShell(commands[i].before);
            }
            best[i] = std::min(best[i], TimedShell(commands[i].run));
        }
    }
    return best;
}

inline long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

inline void Remove(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

// The command line most benches take, DIR [ROUNDS]: run(DIR, ROUNDS), with
// an error's text and exit code 1 if it throws.
inline int RunInDir(int argc, char** argv, int defaultRounds,
                    int (*run)(const std::string& dir, int rounds)) {
    if (argc < 2) {
        std::cerr << "usage: " << argv[0] << " DIR [ROUNDS]\n";
        return 2;
    }
    try {
        return run(argv[1], argc > 2 ? std::max(1, std::atoi(argv[2])) : defaultRounds);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
}

}  // namespace quarnex::bench
