#pragma once
// Everything one run of the terminal tool works with, wired together: the
// program state, the platform (its device backend keeping written files
// sparse, interrupts collected for the whole run) and the console Ui.

#include <memory>

#include "cli/console_ui.hpp"
#include "commands/context.hpp"
#include "platform/platform.hpp"

namespace quarnex::cli {

class CliWorld {
  public:
    explicit CliWorld(Confirmations confirmations);
    CliWorld(const CliWorld&) = delete;
    CliWorld& operator=(const CliWorld&) = delete;

    // False when the buffers could not be allocated (the message is shown).
    bool Ready() const { return ready_; }
    Context& Ctx() { return ctx_; }
    ConsoleUi& Console() { return ui_; }
    DeviceNaming Naming() const { return SystemDeviceNaming(); }
    ProgramState& State() { return state_; }
    // Held until the run ends: the operation's lock on its store.
    void HoldStoreLock(std::unique_ptr<StoreLock> lock) { storeLock_ = std::move(lock); }

  private:
    ProgramState state_;
    Platform platform_;
    ConsoleUi ui_;
    Context ctx_;
    std::unique_ptr<StoreLock> storeLock_;
    bool ready_ = false;
};

}  // namespace quarnex::cli
