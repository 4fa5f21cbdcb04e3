#pragma once
// The one object that owns the program-wide state. Each front end creates it
// once and passes it to its commands, which hand operations the pieces they
// use; nothing else holds mutable state.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "commands/status_strip.hpp"
#include "core/aligned_buffer.hpp"
#include "state/device_table.hpp"
#include "store/slot_table.hpp"
#include "store/store_in_use.hpp"

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

class ProgramState {
  public:
    ProgramState() = default;
    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

    AlignedBuffer imageBuffer;     // one floppy image
    AlignedBuffer transferBuffer;  // one store slot

    SlotTable slotTable;  // the selected store's Disk IDs, descriptions and base ID
    int imageSource = SourceFloppyA;
    // Files were added or removed in the contents window since the internal
    // image was last exported or replaced.
    bool imageChangesUnexported = false;

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
    // The selected store with its records; only valid while one is selected.
    StoreInUse SelectedStore() { return StoreInUse{SelectedEntry(), slotTable}; }
};

// Allocates the internal image and the transfer buffer, zero-filled. On
// failure nothing stays allocated. The allocator is replaceable for tests.
using BufferAllocator = std::function<bool(AlignedBuffer&, std::size_t)>;
bool AllocateBuffers(ProgramState& state, const BufferAllocator& allocate = {});
void FreeBuffers(ProgramState& state);

}  // namespace quarnex
