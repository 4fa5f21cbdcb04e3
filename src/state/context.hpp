#pragma once
// What the older operations still work with: the program state beside the
// services. Functions that need only the services take OperationPorts.

#include "ports/ui.hpp"
#include "state/operation_ports.hpp"
#include "state/program_state.hpp"

namespace quarnex {

struct Context : OperationPorts {
    Context(ProgramState& state, DeviceBackend& devices, DriveCatalog& drives, Ui& ui, Clock& clock,
            Progress& progress)
        : OperationPorts{devices, drives, ui, clock, progress}, state(state), ui(ui) {}

    ProgramState& state;
    Ui& ui;
};

}  // namespace quarnex
