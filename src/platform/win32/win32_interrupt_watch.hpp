#pragma once
// Ctrl-C, Ctrl-Break and the console closing, collected through
// SetConsoleCtrlHandler while the watch lives, so that each cancels a
// transfer the same way instead of ending the program halfway through.

#include "ports/interrupt_watch.hpp"

namespace quarnex {

class Win32InterruptWatch final : public InterruptWatch {
  public:
    Win32InterruptWatch();
    ~Win32InterruptWatch() override { Release(); }

    bool Poll() override;
    void Release() override;

  private:
    bool installed_ = false;
};

}  // namespace quarnex
