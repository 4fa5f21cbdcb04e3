#include "platform/platform.hpp"

#include <unistd.h>

#include "platform/posix/posix_device_backend.hpp"
#include "platform/posix/posix_drive_catalog.hpp"
#include "platform/posix/posix_interrupt_watch.hpp"
#include "platform/posix/posix_program_paths.hpp"
#include "platform/posix/posix_system_facts.hpp"
#include "platform/posix/posix_terminal.hpp"
#include "platform/posix/sparse_file_backend.hpp"
#include "platform/posix/system_clock.hpp"
#include "platform/udisks/udisks_device_backend.hpp"
#include "platform/udisks/udisks_drive_catalog.hpp"

namespace quarnex {

DeviceNaming SystemDeviceNaming() {
    return {"a block device node (the whole stick, e.g. /dev/sdb)", true};
}

// The real system: /sys, /dev, the process's own mount table and signals.
// An ordinary user reaches disks through udisks2 when the service is there
// (polkit then asks for each device); root, or a system without it, opens
// them directly.
Platform MakePlatform(PlatformOptions options) {
    Platform platform;
    if (options.sparseFiles) {
        platform.devices =
            std::make_unique<SparseFileBackend>(std::make_unique<PosixDeviceBackend>());
    } else {
        platform.devices = std::make_unique<PosixDeviceBackend>();
    }
    platform.drives = std::make_unique<PosixDriveCatalog>();
    if (::geteuid() != 0) {
        if (std::shared_ptr<UdisksClient> udisks = UdisksClient::Connect()) {
            platform.devices =
                std::make_unique<UdisksDeviceBackend>(udisks, std::move(platform.devices));
            platform.drives = std::make_unique<UdisksDriveCatalog>(udisks);
        }
    }
    platform.clock = std::make_unique<SystemClock>();
    platform.facts = std::make_unique<PosixSystemFacts>();
    platform.paths = std::make_unique<PosixProgramPaths>();
    if (options.watchInterrupts) {
        auto watch = std::make_unique<PosixInterruptWatch>();
        platform.terminal = std::make_unique<PosixTerminal>(watch.get());
        platform.interrupts = std::move(watch);
    } else {
        platform.interrupts = std::make_unique<NoInterruptWatch>();
        platform.terminal = std::make_unique<PosixTerminal>(nullptr);
    }
    return platform;
}

}  // namespace quarnex
