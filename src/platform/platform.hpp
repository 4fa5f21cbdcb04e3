#pragma once
// Every port, served by the system the program was built for. Front ends call
// MakePlatform() once and hand the ports down; nothing else names a backend.

#include <memory>

#include "ports/clock.hpp"
#include "ports/device_backend.hpp"
#include "ports/drive_catalog.hpp"
#include "ports/interrupt_watch.hpp"
#include "ports/program_paths.hpp"
#include "ports/system_facts.hpp"
#include "ports/terminal.hpp"

namespace quarnex {

struct PlatformOptions {
    // Regular files written through the device backend stay sparse where
    // their data is zero (the terminal tool's store and image files).
    bool sparseFiles = false;
    // Interrupts (Ctrl-C, SIGTERM, SIGHUP) are collected for the whole life
    // of the platform instead of ending the program.
    bool watchInterrupts = false;
};

struct Platform {
    std::unique_ptr<DeviceBackend> devices;
    std::unique_ptr<DriveCatalog> drives;
    std::unique_ptr<Clock> clock;
    std::unique_ptr<SystemFactSource> facts;
    std::unique_ptr<ProgramPaths> paths;
    std::unique_ptr<InterruptWatch> interrupts;
    std::unique_ptr<Terminal> terminal;  // refers to interrupts: declared after it
};

Platform MakePlatform(PlatformOptions options = {});

DeviceNaming SystemDeviceNaming();

}  // namespace quarnex
