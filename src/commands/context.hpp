#pragma once
// What the commands work with: the program state the front end owns beside
// the services. Operations take only the services (OperationPorts) and the
// pieces of the state a command hands them.

#include "commands/program_state.hpp"
#include "ports/ui.hpp"
#include "state/operation_ports.hpp"

namespace quarnex {

struct Context : OperationPorts {
    Context(ProgramState& state, DeviceBackend& devices, DriveCatalog& drives, Ui& ui, Clock& clock,
            Progress& progress)
        : OperationPorts{devices, drives, ui, clock, progress}, state(state), ui(ui) {}

    ProgramState& state;
    Ui& ui;
};

}  // namespace quarnex
