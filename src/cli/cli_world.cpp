#include "cli/cli_world.hpp"

#include <iostream>

#include "platform/posix/program_path.hpp"
#include "platform/system_drive_catalog.hpp"
#include "state/startup.hpp"

namespace quarnex::cli {

CliWorld::CliWorld(ConsoleOptions options)
    : drives_(MakeSystemDriveCatalog()),
      ui_(state_, options, std::cerr, interrupts_),
      ctx_{state_, devices_, *drives_, ui_, clock_} {
    // Raw devices need rights; opening them proves it or says why not, so
    // the tool runs with the store commands available.
    state_.AdminRights = 1;
    GetProgramPaths(state_, RunningExecutablePath());
    ready_ = AllocateBuffersOrExplain(state_, ui_);
}

}  // namespace quarnex::cli
