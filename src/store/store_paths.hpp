#pragma once
// Where the parts of a store are reached on this platform.

#include <string>
#include <string_view>

#include "state/device_table.hpp"
#include "state/operation_ports.hpp"

namespace quarnex {

// True when the store is an ordinary file (a whole-store image used as a
// store) rather than a device.
bool StoreIsFile(OperationPorts& ports, const DeviceEntry& store);

// The path opened as slot 0's volume: the drive's volume node, or the file
// itself for a store that is a file.
std::string StoreVolumePath(OperationPorts& ports, const DeviceEntry& store);

// The store's device name + "/DISKS.TXT": how the store's own descriptions
// file names itself in its header.
std::string StoreDescriptionsName(const DeviceEntry& store);

// Output file name of a descriptions file: the name with its last extension
// replaced by "txt" ("stick.2024-05.img" gives "stick.2024-05.txt", so two
// dated backups never share one), or name + ".txt" without an extension.
std::string DescriptionsOutputName(std::string_view name);

// Says that the whole-store file at path, length bytes long, is not one.
void RefuseStoreFileLength(OperationPorts& ports, const std::string& path, std::uint64_t length);

}  // namespace quarnex
