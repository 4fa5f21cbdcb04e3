#include "cli/cli_runner.hpp"

#include <fcntl.h>
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
    std::vector<std::string> argv;
    if (options.asNobody) {
        argv = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    }
    if (options.onTerminal) {
        // script gives the command a terminal for stdin, stdout and stderr;
        // everything it writes arrives on script's stdout.
        std::string command = ShellQuote(CliBinary());
        for (const std::string& arg : args) {
            command += " " + ShellQuote(arg);
        }
        argv.insert(argv.end(), {"script", "-qefc", command, "/dev/null"});
    } else {
        argv.push_back(CliBinary());
        argv.insert(argv.end(), args.begin(), args.end());
    }
    std::vector<char*> cargs;
    for (std::string& arg : argv) {
        cargs.push_back(arg.data());
    }
    cargs.push_back(nullptr);
    WriteFileText(files_ / "in", options.input);
    posix_spawn_file_actions_t streams;
    ::posix_spawn_file_actions_init(&streams);
    ::posix_spawn_file_actions_addopen(&streams, 0, (files_ / "in").c_str(), O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&streams, 1, (files_ / "out").c_str(), O_WRONLY | O_CREAT,
                                       0644);
    ::posix_spawn_file_actions_addopen(&streams, 2, (files_ / "err").c_str(), O_WRONLY | O_CREAT,
                                       0644);
    const int failed = ::posix_spawnp(&pid_, cargs[0], &streams, nullptr, cargs.data(), environ);
    ::posix_spawn_file_actions_destroy(&streams);
    if (failed != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
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
