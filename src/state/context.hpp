#pragma once
// What every operation works with: the program state and the services it
// reaches the outside world through.

#include "ports/clock.hpp"
#include "ports/device_backend.hpp"
#include "ports/drive_catalog.hpp"
#include "ports/progress.hpp"
#include "ports/ui.hpp"
#include "state/program_state.hpp"

namespace quarnex {

struct Context {
    ProgramState& state;
    DeviceBackend& devices;
    DriveCatalog& drives;
    Ui& ui;
    Clock& clock;
    Progress& progress;
};

}  // namespace quarnex
