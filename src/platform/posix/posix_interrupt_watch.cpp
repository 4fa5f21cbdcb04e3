#include "platform/posix/posix_interrupt_watch.hpp"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace quarnex {

namespace {

sigset_t WatchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

}  // namespace

PosixInterruptWatch::PosixInterruptWatch() {
    const sigset_t set = WatchedSignals();
    if (::sigprocmask(SIG_BLOCK, &set, nullptr) != 0) {
        return;
    }
    blocked_ = true;
    fd_ = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0) {
        Release();
    }
}

PosixInterruptWatch::~PosixInterruptWatch() {
    Release();
}

void PosixInterruptWatch::Release() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (blocked_) {
        const sigset_t set = WatchedSignals();
        ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
        blocked_ = false;
    }
}

bool PosixInterruptWatch::Poll() {
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

}  // namespace quarnex
