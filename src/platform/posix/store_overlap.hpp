#pragma once
// Finding out whether a file overlaps a store: the same inode, the same
// device under another node, a loop device and its backing file, or a file
// system mounted from the store or one of its partitions.

#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/posix/posix_device_backend.hpp"

namespace quarnex {

// The device number of a block device and those of its partitions (sysfs).
std::vector<dev_t> DeviceAndPartitions(const PosixRoots& roots, dev_t device);

// Every name that reaches the store's bytes, in the one order all lockers
// use: the file (the store's own, or its loop device's backing file) first,
// then the loop devices over it by name. A device that is no loop device
// has only its own name.
std::vector<std::string> StoreNames(const PosixRoots& roots, const std::string& storePath);

StoreOverlap FindStoreOverlap(const PosixRoots& roots, const std::string& path,
                              const std::string& storePath);

}  // namespace quarnex
