#pragma once
// The terminal around the tool: whether a stream is a terminal, Ctrl-C as a
// request to cancel rather than an abrupt end, and reading one answer line.

#include <optional>
#include <string>

namespace quarnex::cli {

bool IsTerminal(int fd);

// While it lives, Ctrl-C does not end the program but is collected here, so
// that a long operation can stop the way the Cancel menu stops it. A second
// Ctrl-C after the first one was seen ends the program as usual.
class InterruptWatch {
  public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // True when Ctrl-C was pressed since the last call.
    bool Poll();
    // Gives Ctrl-C its usual effect again (ends the program).
    void Release();
    int Fd() const { return fd_; }

  private:
    int fd_ = -1;
    bool blocked_ = false;
};

// One line typed on standard input, without its line end; empty when the
// input ended or Ctrl-C was pressed while waiting.
std::optional<std::string> ReadAnswerLine(InterruptWatch& watch);

}  // namespace quarnex::cli
