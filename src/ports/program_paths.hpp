#pragma once
// Where the running program lies; the files it reads beside itself are found
// from there.

#include <string>

namespace quarnex {

class ProgramPaths {
  public:
    virtual ~ProgramPaths() = default;
    ProgramPaths() = default;
    ProgramPaths(const ProgramPaths&) = delete;
    ProgramPaths& operator=(const ProgramPaths&) = delete;

    // Full file name of the running program; empty when the system cannot tell.
    virtual std::string RunningExecutable() const = 0;
};

}  // namespace quarnex
