#pragma once
// How a found store is described to a user beyond its name: vendor and
// model, and size, where the platform knows them.

#include <cstdint>
#include <string>

#include "state/program_state.hpp"

namespace quarnex {

// "7.8 GB", "1.57 GB", "512 MB": decimal units as the sticks are sold;
// empty for 0 (unknown).
std::string FormatDeviceSize(std::uint64_t bytes);

// "sdb  SanDisk Cruzer Blade  7.8 GB"; parts that are unknown are left out.
std::string DescribeDevice(const DeviceEntry& entry);

}  // namespace quarnex
