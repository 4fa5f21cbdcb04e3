#pragma once
// The one object that owns the program-wide state. It is created once and
// passed by reference to every operation; nothing else holds mutable state.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/aligned_buffer.hpp"
#include "state/status_strip.hpp"
#include "store/slot_table.hpp"

namespace quarnex {

// Where the internal image came from.
enum ImageSource : int {
    SourceFloppyA = 0,
    SourceFloppyB = 1,
    SourceImageFile = 2,
    SourceUsbSlot = 3,
    SourceZeroed = 4,
    SourceFormatted = 5,
};

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

class ProgramState {
  public:
    ProgramState() = default;
    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

    AlignedBuffer imageBuffer;     // one floppy image
    AlignedBuffer transferBuffer;  // one store slot

    SlotTable slotTable;  // the selected store's Disk IDs, descriptions and base ID
    int imageSource = SourceFloppyA;

    DeviceTable devices;
    FloppyState floppies;
    int selectedDevice = 0;  // 1..4, 0 = none
    int selectedDisk = 0;    // 1..999, 0 = none

    int adminRights = 0;
    std::string appFolder;  // ends with "/" (or is empty)
    bool cancelRequested = false;
    bool busy = false;  // while an operation holds its BusyGuard entered

    StatusStrip status;

    // Row selectedDevice of the device table; only valid while one is selected.
    const DeviceEntry& SelectedEntry() const { return devices.Row(selectedDevice); }
};

// Allocates the internal image and the transfer buffer, zero-filled. On
// failure nothing stays allocated. The allocator is replaceable for tests.
using BufferAllocator = std::function<bool(AlignedBuffer&, std::size_t)>;
bool AllocateBuffers(ProgramState& state, const BufferAllocator& allocate = {});
void FreeBuffers(ProgramState& state);

}  // namespace quarnex
