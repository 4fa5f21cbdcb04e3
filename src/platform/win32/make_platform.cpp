#include "platform/platform.hpp"

#include "platform/win32/win32_device_backend.hpp"
#include "platform/win32/win32_drive_catalog.hpp"
#include "platform/win32/win32_interrupt_watch.hpp"
#include "platform/win32/win32_program_paths.hpp"
#include "platform/win32/win32_system.hpp"
#include "platform/win32/win32_terminal.hpp"

namespace quarnex {

DeviceNaming SystemDeviceNaming() {
    return {"a physical drive (the whole stick, e.g. \\\\.\\PhysicalDrive2)", false};
}

Platform MakePlatform(PlatformOptions options) {
    Platform platform;
    platform.devices = std::make_unique<Win32DeviceBackend>(options.sparseFiles);
    platform.drives = std::make_unique<Win32DriveCatalog>();
    platform.clock = std::make_unique<Win32Clock>();
    platform.facts = std::make_unique<Win32SystemFacts>();
    platform.paths = std::make_unique<Win32ProgramPaths>();
    if (options.watchInterrupts) {
        auto watch = std::make_unique<Win32InterruptWatch>();
        platform.terminal = std::make_unique<Win32Terminal>(watch.get());
        platform.interrupts = std::move(watch);
    } else {
        platform.interrupts = std::make_unique<NoInterruptWatch>();
        platform.terminal = std::make_unique<Win32Terminal>(nullptr);
    }
    return platform;
}

}  // namespace quarnex
