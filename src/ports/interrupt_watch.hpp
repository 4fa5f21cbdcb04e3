#pragma once
// Requests from outside to stop (Ctrl-C, a hang-up, a polite kill), collected
// instead of ending the program, so that a long operation can stop the way
// the Cancel menu stops it.

namespace quarnex {

class InterruptWatch {
  public:
    virtual ~InterruptWatch() = default;
    InterruptWatch() = default;
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // True when a request arrived since the last call.
    virtual bool Poll() = 0;
    // Gives the requests their usual effect again (they end the program).
    virtual void Release() = 0;
};

// For a platform made without a watch: interrupts keep their usual effect
// and none is ever seen.
class NoInterruptWatch final : public InterruptWatch {
  public:
    bool Poll() override { return false; }
    void Release() override {}
};

}  // namespace quarnex
