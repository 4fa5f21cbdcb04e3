#pragma once
// The devices a scan found (or the store file opened), as the device list
// shows them, and the floppy drives present.

#include <array>
#include <cstdint>
#include <string>

namespace quarnex {

struct DeviceEntry {
    std::string name;  // kernel name (e.g. "sdb") or a store file's name
    std::string path;  // device node (e.g. "/dev/sdb") or a store file's path
    int driveNumber = -1;
    // What helps a user recognise the device; empty or 0 where unknown.
    std::string vendorModel;
    std::uint64_t sizeBytes = 0;
};

struct DeviceTable {
    int count = 0;
    // Rows 1..4; rows past count keep an earlier scan's values.
    std::array<DeviceEntry, 5> rows;

    DeviceEntry& Row(int i) { return rows.at(static_cast<std::size_t>(i)); }
    const DeviceEntry& Row(int i) const { return rows.at(static_cast<std::size_t>(i)); }
};

struct FloppyState {
    int driveCount = 0;
    bool hasDriveA = false;
    bool hasDriveB = false;
};

}  // namespace quarnex
