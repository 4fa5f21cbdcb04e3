#pragma once

#include <string>

namespace quarnex {

// Full file name of the running program; empty when the system cannot tell.
std::string RunningExecutablePath();

}  // namespace quarnex
