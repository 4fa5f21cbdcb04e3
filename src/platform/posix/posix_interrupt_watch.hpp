#pragma once
// SIGINT, SIGTERM and SIGHUP, blocked and read from a signalfd while the
// watch lives, so that each cancels a transfer the same way instead of
// ending the program halfway through a write.

#include "ports/interrupt_watch.hpp"

namespace quarnex {

class PosixInterruptWatch final : public InterruptWatch {
  public:
    PosixInterruptWatch();
    ~PosixInterruptWatch() override;

    bool Poll() override;
    void Release() override;
    // Readable when a request is waiting; -1 once released or when the
    // signals could not be taken over.
    int Fd() const { return fd_; }

  private:
    int fd_ = -1;
    bool blocked_ = false;
};

}  // namespace quarnex
