#pragma once
// The standard streams on a Windows console: whether each is one, its width,
// and answers read from standard input while watching for Ctrl-C. Output to
// the console is UTF-8.

#include "platform/win32/win32_interrupt_watch.hpp"
#include "ports/terminal.hpp"

namespace quarnex {

class Win32Terminal final : public Terminal {
  public:
    // watch: interrupts that end a wait for an answer; null for none.
    explicit Win32Terminal(Win32InterruptWatch* watch);

    bool IsTerminal(StandardStream stream) override;
    std::optional<std::size_t> Columns(StandardStream stream) override;
    std::optional<std::string> ReadAnswerLine() override;

  private:
    Win32InterruptWatch* watch_;
};

}  // namespace quarnex
