#include "platform/system_drive_catalog.hpp"

#include "platform/posix/posix_drive_catalog.hpp"

namespace quarnex {

// The real system: /sys, /dev and the process's own mount table.
std::unique_ptr<DriveCatalog> MakeSystemDriveCatalog() {
    return std::make_unique<PosixDriveCatalog>(PosixRoots{});
}

}  // namespace quarnex
