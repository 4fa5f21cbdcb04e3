#pragma once
// The services an operation reaches the outside world through, and nothing
// of the program's state: a function that takes only these says so.

#include "ports/clock.hpp"
#include "ports/device_backend.hpp"
#include "ports/drive_catalog.hpp"
#include "ports/messages.hpp"
#include "ports/progress.hpp"

namespace quarnex {

struct OperationPorts {
    DeviceBackend& devices;
    DriveCatalog& drives;
    Messages& messages;
    Clock& clock;
    Progress& progress;
};

}  // namespace quarnex
