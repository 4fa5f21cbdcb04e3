#pragma once
// Where the running program lies and where the files it reads and writes are:
// beside it in a build tree or an unpacked folder, in the system's data and
// per-user configuration folders in an installed copy.

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
    // appFolder: the folder holding QuarnCfg/FAT12.144 and the help, ending
    // with "/"; empty when the program's own folder is unknown.
    virtual std::string DataFolder() const = 0;
    // Full name of the window placement file. When it is the per-user one,
    // its folder is made first so the file can be written at exit.
    virtual std::string PlacementFile() const = 0;
};

}  // namespace quarnex
