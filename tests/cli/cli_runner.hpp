#pragma once
// Runs the built quarnex-cli as a user would: arguments, standard input that
// is not a terminal (or a pseudo-terminal through script(1)), captured
// output, the exit code.

#include <sys/types.h>

#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace quarnex::testing {

struct CliResult {
    int exitCode = -1;  // 128 + signal when it was killed
    std::string out;
    std::string err;
};

struct CliOptions {
    std::string input;        // fed to standard input (a file, not a terminal)
    bool asNobody = false;    // run without root's rights (setpriv)
    bool onTerminal = false;  // stdin and stderr on a pseudo-terminal (script)
};

std::string CliBinary();

CliResult RunCli(const std::vector<std::string>& args, const CliOptions& options = {});

// A run that the test can interrupt.
class CliProcess {
  public:
    explicit CliProcess(const std::vector<std::string>& args, const CliOptions& options = {});
    ~CliProcess();
    void Interrupt();  // Ctrl-C
    CliResult Wait();

  private:
    TempDir files_;  // stdin, stdout and stderr of the run
    pid_t pid_ = -1;
};

}  // namespace quarnex::testing
