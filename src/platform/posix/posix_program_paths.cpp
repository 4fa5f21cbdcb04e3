#include "platform/posix/posix_program_paths.hpp"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace quarnex {

namespace {

// The files that mark a folder as the program's data folder (the operations
// name them relative to appFolder).
constexpr const char* kTemplateFile = "QuarnCfg/FAT12.144";
constexpr const char* kHelpPage = "QuarnHlp/QuarnHlp.htm";

std::string FolderOf(const std::string& file) {
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

bool HoldsProgramFiles(const std::string& folder, const PathProbe& probe) {
    return probe.isFile(folder + kTemplateFile) || probe.isFile(folder + kHelpPage);
}

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

PathProbe SystemProbe() {
    return PathProbe{[](const std::string& path) {
                         std::error_code ec;
                         return std::filesystem::is_regular_file(path, ec);
                     },
                     [](const std::string& path) {
                         std::error_code ec;
                         return std::filesystem::is_directory(path, ec) &&
                                ::access(path.c_str(), W_OK | X_OK) == 0;
                     },
                     EnvironmentValue("XDG_CONFIG_HOME"), EnvironmentValue("HOME")};
}

}  // namespace

std::string RunningExecutablePath() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
}

std::string ChooseDataFolder(const std::string& executable, const std::string& dataFromBin,
                             const PathProbe& probe) {
    const std::string beside = FolderOf(executable);
    if (beside.empty() || HoldsProgramFiles(beside, probe)) {
        return beside;
    }
    // Relative to the program, so a prefix moved as a whole still works.
    std::string installed = (std::filesystem::path(beside) / dataFromBin).lexically_normal();
    if (installed.back() != '/') {
        installed += '/';
    }
    return HoldsProgramFiles(installed, probe) ? installed : beside;
}

std::string ChoosePlacementFile(const std::string& executable, const PathProbe& probe) {
    const std::string beside = FolderOf(executable) + "QuarnCfg";
    if (!FolderOf(executable).empty() && probe.isWritableFolder(beside)) {
        return beside + "/Quarn.cfg";
    }
    // A relative XDG_CONFIG_HOME is ignored, as desktop programs do.
    std::string home = probe.xdgConfigHome;
    if (home.empty() || home.front() != '/') {
        home = probe.home.empty() ? std::string() : probe.home + "/.config";
    }
    if (home.empty()) {
        return beside + "/Quarn.cfg";
    }
    if (home.back() != '/') {
        home += '/';
    }
    return home + "quarnex/Quarn.cfg";
}

std::string PosixProgramPaths::DataFolder() const {
    return ChooseDataFolder(RunningExecutablePath(), QUARNEX_DATA_FROM_BIN, SystemProbe());
}

std::string PosixProgramPaths::PlacementFile() const {
    const std::string executable = RunningExecutablePath();
    const std::string file = ChoosePlacementFile(executable, SystemProbe());
    if (file != FolderOf(executable) + "QuarnCfg/Quarn.cfg") {
        // The per-user folder may not exist yet; a failure to make it shows
        // when the file is saved.
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ec);
    }
    return file;
}

}  // namespace quarnex
