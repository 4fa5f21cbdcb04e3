#pragma once
// The running program's path (GetModuleFileNameW) and the folders its files
// are found in: the template and help beside it; the placement file beside
// it when that folder is writable, else under %APPDATA%\Quarnex.

#include <string>

#include "ports/program_paths.hpp"

namespace quarnex {

// QuarnCfg\Quarn.cfg in the program's folder when besideWritable, else
// Quarn.cfg in appData's Quarnex folder; beside the program when appData is
// unknown, so that saving fails there with a message.
std::string ChooseWin32PlacementFile(const std::string& programFolder, bool besideWritable,
                                     const std::string& appData);

class Win32ProgramPaths final : public ProgramPaths {
  public:
    std::string RunningExecutable() const override;
    std::string DataFolder() const override;
    std::string PlacementFile() const override;
};

}  // namespace quarnex
