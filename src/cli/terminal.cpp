#include "cli/terminal.hpp"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace quarnex::cli {

namespace {

sigset_t InterruptSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    return set;
}

}  // namespace

bool IsTerminal(int fd) {
    return ::isatty(fd) == 1;
}

InterruptWatch::InterruptWatch() {
    const sigset_t set = InterruptSet();
    if (::sigprocmask(SIG_BLOCK, &set, nullptr) != 0) {
        return;
    }
    blocked_ = true;
    fd_ = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0) {
        Release();
    }
}

InterruptWatch::~InterruptWatch() {
    Release();
}

void InterruptWatch::Release() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (blocked_) {
        const sigset_t set = InterruptSet();
        ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
        blocked_ = false;
    }
}

bool InterruptWatch::Poll() {
    if (fd_ < 0) {
        return false;
    }
    bool seen = false;
    signalfd_siginfo info{};
    while (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        seen = true;
    }
    return seen;
}

std::optional<std::string> ReadAnswerLine(InterruptWatch& watch) {
    std::string line;
    for (;;) {
        std::array<pollfd, 2> fds{pollfd{STDIN_FILENO, POLLIN, 0}, pollfd{watch.Fd(), POLLIN, 0}};
        const int ready = ::poll(fds.data(), watch.Fd() >= 0 ? 2 : 1, -1);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (watch.Fd() >= 0 && (fds[1].revents & POLLIN) != 0 && watch.Poll()) {
            return std::nullopt;
        }
        if ((fds[0].revents & (POLLIN | POLLHUP)) == 0) {
            continue;
        }
        char c = 0;
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
        if (n <= 0) {
            return std::nullopt;
        }
        if (c == '\n') {
            return line;
        }
        line += c;
    }
}

}  // namespace quarnex::cli
