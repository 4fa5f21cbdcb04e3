#pragma once
// Reaching a descriptions file: an ordinary file, the store's DISKS.TXT in
// the mount point of its volume, or DISKS.TXT inside slot 0's FAT12 volume
// read and written through the device itself.

#include <optional>
#include <string>

#include "state/device_table.hpp"
#include "state/error_report.hpp"

namespace quarnex {

// Source named in the reports of failed file work.
inline constexpr const char* kFileErrorSource = "Quarnex";
inline constexpr const char* kVolumeErrorSource = "Quarnex.FAT12";

struct FileText {
    bool present = false;  // the file exists (its text is read)
    bool folder = false;   // a folder of that name stands where the file belongs
    std::string text;
    std::optional<ErrorRecord> error;  // set when it could not be reached or read
};

// The store's DISKS.TXT (name matched without regard to case).
FileText ReadStoreFile(OperationPorts& ports, const DeviceEntry& store,
                       const std::string& fileName);
// Creates or replaces fileName in the store's slot 0 volume.
Status WriteStoreFile(OperationPorts& ports, const DeviceEntry& store, const std::string& fileName,
                      const std::string& text);

// An ordinary file, created or replaced; its contents reach the medium.
Status WritePlainFile(OperationPorts& ports, const std::string& path, const std::string& text);

}  // namespace quarnex
