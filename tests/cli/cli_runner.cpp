#include "cli/cli_runner.hpp"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

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

std::string CliBinary() {
    return QUARNEX_CLI_BINARY;
}

CliResult RunCli(const std::vector<std::string>& args, const CliOptions& options) {
    return CliProcess(args, options).Wait();
}

CliProcess::CliProcess(const std::vector<std::string>& args, const CliOptions& options) {
    std::string command = ShellQuote(CliBinary());
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
    if (::posix_spawn(&pid_, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
        throw std::runtime_error("cannot start " + line);
    }
}

CliProcess::~CliProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        WaitFor(pid_);
    }
}

void CliProcess::Interrupt() {
    ::kill(pid_, SIGINT);
}

CliResult CliProcess::Wait() {
    CliResult result{WaitFor(pid_), ReadFileText(files_ / "out"), ReadFileText(files_ / "err")};
    pid_ = -1;
    return result;
}

}  // namespace quarnex::testing
