#include "platform/posix/posix_terminal.hpp"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace quarnex {

namespace {

int Descriptor(StandardStream stream) {
    switch (stream) {
        case StandardStream::Input:
            return STDIN_FILENO;
        case StandardStream::Output:
            return STDOUT_FILENO;
        case StandardStream::Error:
            break;
    }
    return STDERR_FILENO;
}

}  // namespace

bool PosixTerminal::IsTerminal(StandardStream stream) {
    return ::isatty(Descriptor(stream)) == 1;
}

std::optional<std::size_t> PosixTerminal::Columns(StandardStream stream) {
    winsize size{};
    if (::ioctl(Descriptor(stream), TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
        return std::nullopt;
    }
    return size.ws_col;
}

std::optional<std::string> PosixTerminal::ReadAnswerLine() {
    const int watchFd = watch_ != nullptr ? watch_->Fd() : -1;
    std::string line;
    for (;;) {
        std::array<pollfd, 2> fds{pollfd{STDIN_FILENO, POLLIN, 0}, pollfd{watchFd, POLLIN, 0}};
        const int ready = ::poll(fds.data(), watchFd >= 0 ? 2 : 1, -1);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (watchFd >= 0 && (fds[1].revents & POLLIN) != 0 && watch_->Poll()) {
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

}  // namespace quarnex
