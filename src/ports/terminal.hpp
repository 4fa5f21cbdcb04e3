#pragma once
// The terminal around the tool: whether a standard stream is one, how wide it
// is, and reading an answer typed there.

#include <cstddef>
#include <optional>
#include <string>

namespace quarnex {

enum class StandardStream { Input, Output, Error };

class Terminal {
  public:
    virtual ~Terminal() = default;
    Terminal() = default;
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    virtual bool IsTerminal(StandardStream stream) = 0;
    // Columns of the terminal on that stream; empty when it cannot tell.
    virtual std::optional<std::size_t> Columns(StandardStream stream) = 0;
    // One line typed on standard input, without its line end; empty when the
    // input ended or an interrupt arrived while waiting.
    virtual std::optional<std::string> ReadAnswerLine() = 0;
};

}  // namespace quarnex
