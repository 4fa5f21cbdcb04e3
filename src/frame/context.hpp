#pragma once
// What every operation works with: the program state and the services it
// reaches the outside world through.

#include "device/device_backend.hpp"
#include "device/drive_catalog.hpp"
#include "frame/clock.hpp"
#include "frame/program_state.hpp"
#include "frame/ui.hpp"

namespace quarnex {

struct Context {
    ProgramState& state;
    DeviceBackend& devices;
    DriveCatalog& drives;
    Ui& ui;
    Clock& clock;
};

}  // namespace quarnex
