#pragma once
// The drive catalog of the system the program runs on.

#include <memory>

#include "ports/drive_catalog.hpp"

namespace quarnex {

std::unique_ptr<DriveCatalog> MakeSystemDriveCatalog();

}  // namespace quarnex
