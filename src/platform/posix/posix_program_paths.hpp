#pragma once
// The running program's path, from the kernel's link to it, and the folders
// its files are found in: beside it, else the installed data folder; the
// placement file beside it when that folder is writable, else in the user's
// configuration folder (XDG).

#include <functional>
#include <string>

#include "ports/program_paths.hpp"

namespace quarnex {

// Full file name of the running program; empty when the system cannot tell.
std::string RunningExecutablePath();

// What the choice of folders looks at; tests give a table of their own.
struct PathProbe {
    std::function<bool(const std::string&)> isFile;
    std::function<bool(const std::string&)> isWritableFolder;
    std::string xdgConfigHome;  // $XDG_CONFIG_HOME, empty when unset
    std::string home;           // $HOME, empty when unset
};

// The program's folder when it holds the template or the help page, else
// the installed data folder (dataFromBin relative to the program's folder)
// when that does, else the program's folder. Ends with "/"; empty for an
// unknown executable.
std::string ChooseDataFolder(const std::string& executable, const std::string& dataFromBin,
                             const PathProbe& probe);

// QuarnCfg/Quarn.cfg beside the program when that QuarnCfg folder is
// writable, else quarnex/Quarn.cfg in the configuration home (an absolute
// $XDG_CONFIG_HOME, else $HOME/.config); beside the program when neither
// is known, so that saving fails there with a message.
std::string ChoosePlacementFile(const std::string& executable, const PathProbe& probe);

class PosixProgramPaths final : public ProgramPaths {
  public:
    std::string RunningExecutable() const override { return RunningExecutablePath(); }
    std::string DataFolder() const override;
    std::string PlacementFile() const override;
};

}  // namespace quarnex
