// Runs of quarnex-cli on POSIX: through /bin/sh, which redirects the files
// and puts setpriv or script in front; and sparse copies with cp.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <utility>

#include "cli/cli_runner.hpp"

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

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, const CliOptions& options) {
    std::string command = ShellQuote(QUARNEX_CLI_BINARY);
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
    pid_t pid = -1;
    if (::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
        throw std::runtime_error("cannot start " + line);
    }
    process_ = pid;
}

CliProcess::~CliProcess() {
    if (process_ > 0) {
        ::kill(static_cast<pid_t>(process_), SIGKILL);
        WaitFor(static_cast<pid_t>(process_));
    }
}

void CliProcess::Interrupt() {
    ::kill(static_cast<pid_t>(process_), SIGINT);
}

CliResult CliProcess::Wait() {
    const auto pid = static_cast<pid_t>(std::exchange(process_, 0));
    return {WaitFor(pid), ReadFileText(files_ / "out"), ReadFileText(files_ / "err")};
}

std::string CopyOfMasterStore(const TempDir& dir, const std::string& name) {
    if (std::system(("cp --sparse=always '" + MasterStore() + "' '" + dir / name + "'").c_str())) {
        throw std::runtime_error("cannot copy the master store");
    }
    return dir / name;
}

}  // namespace quarnex::testing
