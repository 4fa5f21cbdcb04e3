#pragma once
// The running program's path, from the kernel's link to it.

#include <string>

#include "ports/program_paths.hpp"

namespace quarnex {

// Full file name of the running program; empty when the system cannot tell.
std::string RunningExecutablePath();

class PosixProgramPaths final : public ProgramPaths {
  public:
    std::string RunningExecutable() const override { return RunningExecutablePath(); }
};

}  // namespace quarnex
