#pragma once
// The standard streams on a POSIX terminal: isatty, the window size ioctl,
// and answers read from standard input while watching for interrupts.

#include "platform/posix/posix_interrupt_watch.hpp"
#include "ports/terminal.hpp"

namespace quarnex {

class PosixTerminal final : public Terminal {
  public:
    // watch: interrupts that end a wait for an answer; null for none.
    explicit PosixTerminal(PosixInterruptWatch* watch) : watch_(watch) {}

    bool IsTerminal(StandardStream stream) override;
    std::optional<std::size_t> Columns(StandardStream stream) override;
    std::optional<std::string> ReadAnswerLine() override;

  private:
    PosixInterruptWatch* watch_;
};

}  // namespace quarnex
