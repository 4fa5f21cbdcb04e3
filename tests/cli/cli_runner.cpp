#include "cli/cli_runner.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quarnex::testing {

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ScratchPath(const char* kind) {
    std::string pattern = std::string("/tmp/quarnex-cli-") + kind + "-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        throw std::runtime_error("mkstemp failed");
    }
    ::close(fd);
    return pattern;
}

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::vector<std::string> CommandLine(const std::vector<std::string>& args,
                                     const CliOptions& options) {
    std::vector<std::string> argv;
    if (options.asNobody) {
        argv = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    }
    if (options.onTerminal) {
        std::string command = ShellQuote(CliBinary());
        for (const std::string& arg : args) {
            command += " " + ShellQuote(arg);
        }
        // script gives the command a terminal for stdin, stdout and stderr;
        // everything it writes arrives on script's stdout.
        argv.insert(argv.end(), {"script", "-qefc", command, "/dev/null"});
        return argv;
    }
    argv.push_back(CliBinary());
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

pid_t Spawn(const std::vector<std::string>& argv, const std::string& input,
            const std::string& outPath, const std::string& errPath) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
        ::setpgid(0, 0);
        ::dup2(pipeFds[0], STDIN_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_TRUNC);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_TRUNC);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        std::vector<char*> cargs;
        for (const std::string& arg : argv) {
            cargs.push_back(const_cast<char*>(arg.c_str()));
        }
        cargs.push_back(nullptr);
        ::execvp(cargs[0], cargs.data());
        ::_exit(127);
    }
    ::close(pipeFds[0]);
    if (!input.empty()) {
        [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], input.data(), input.size());
    }
    ::close(pipeFds[1]);
    return pid;
}

int WaitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return 128 + WTERMSIG(status);
}

}  // namespace

std::string CliBinary() {
    return QUARNEX_CLI_BINARY;
}

CliResult RunCli(const std::vector<std::string>& args, const CliOptions& options) {
    CliProcess run(args, options);
    return run.Wait();
}

CliProcess::CliProcess(const std::vector<std::string>& args, const CliOptions& options)
    : outPath_(ScratchPath("out")), errPath_(ScratchPath("err")) {
    pid_ = Spawn(CommandLine(args, options), options.input, outPath_, errPath_);
}

CliProcess::~CliProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        WaitFor(pid_);
    }
    std::remove(outPath_.c_str());
    std::remove(errPath_.c_str());
}

void CliProcess::Interrupt() {
    ::kill(pid_, SIGINT);
}

CliResult CliProcess::Wait() {
    CliResult result;
    result.exitCode = WaitFor(pid_);
    pid_ = -1;
    result.out = Slurp(outPath_);
    result.err = Slurp(errPath_);
    return result;
}

}  // namespace quarnex::testing
