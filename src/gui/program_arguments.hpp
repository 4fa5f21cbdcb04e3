#pragma once
// The program's command line: at most one file to open, --help and
// --version. Qt takes its own options (such as -platform) out first.

#include <optional>
#include <string>
#include <vector>

namespace quarnex {

struct ProgramArguments {
    enum class Action { Run, Help, Version, Wrong };
    Action action = Action::Run;
    std::optional<std::string> file;
    std::string problem;  // what is wrong, for Wrong
};

// args without the program name. --help and --version win wherever they
// stand before "--", which ends the options.
ProgramArguments ParseProgramArguments(const std::vector<std::string>& args);

std::string ProgramUsage();
std::string ProgramVersion();

}  // namespace quarnex
