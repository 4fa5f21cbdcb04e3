#pragma once
// Everything one run of the terminal tool works with, wired together: the
// program state, the POSIX device backend (keeping written files sparse), the
// drive catalog, the clock and the console Ui.

#include <memory>

#include "cli/console_ui.hpp"
#include "cli/terminal.hpp"
#include "platform/posix/posix_device_backend.hpp"
#include "platform/posix/sparse_file_backend.hpp"
#include "platform/posix/system_clock.hpp"
#include "state/context.hpp"

namespace quarnex::cli {

class CliWorld {
  public:
    explicit CliWorld(ConsoleOptions options);
    CliWorld(const CliWorld&) = delete;
    CliWorld& operator=(const CliWorld&) = delete;

    // False when the buffers could not be allocated (the message is shown).
    bool Ready() const { return ready_; }
    Context& Ctx() { return ctx_; }
    ConsoleUi& Console() { return ui_; }
    ProgramState& State() { return state_; }

  private:
    ProgramState state_;
    PosixDeviceBackend posix_;
    SparseFileBackend devices_{posix_};
    std::unique_ptr<DriveCatalog> drives_;
    SystemClock clock_;
    InterruptWatch interrupts_;
    ConsoleUi ui_;
    Context ctx_;
    bool ready_ = false;
};

}  // namespace quarnex::cli
