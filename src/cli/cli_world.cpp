#include "cli/cli_world.hpp"

#include <iostream>

#include "commands/startup.hpp"

namespace quarnex::cli {

namespace {

ConsoleOptions OptionsOn(Terminal& terminal, Confirmations confirmations) {
    return ConsoleOptions{confirmations, terminal.IsTerminal(StandardStream::Input),
                          terminal.IsTerminal(StandardStream::Error)};
}

}  // namespace

CliWorld::CliWorld(Confirmations confirmations)
    : platform_(MakePlatform(PlatformOptions{.sparseFiles = true, .watchInterrupts = true})),
      ui_(state_, OptionsOn(*platform_.terminal, confirmations), std::cerr, *platform_.interrupts,
          *platform_.terminal),
      ctx_{state_, *platform_.devices, *platform_.drives, ui_, *platform_.clock, ui_} {
    // Raw devices need rights; opening them proves it or says why not, so
    // the tool runs with the store commands available.
    state_.adminRights = 1;
    GetProgramPaths(state_, platform_.paths->DataFolder());
    ready_ = AllocateBuffersOrExplain(state_, ui_);
}

}  // namespace quarnex::cli
