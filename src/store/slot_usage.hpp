#pragma once
// Whether a slot is used or free. A slot is used when its volume holds a file
// or folder, its description is not empty, or it holds something other than
// a FAT12 volume; free otherwise, as a slot fresh from a format is. Finding
// out reads the slot's boot sector and root directory only.

#include <span>
#include <vector>

#include "core/media_sizes.hpp"
#include "state/operation_ports.hpp"
#include "state/reported_io.hpp"
#include "store/slot_table.hpp"
#include "store/store_in_use.hpp"

namespace quarnex {

enum class SlotUse { Free, Used };

// The use of a volume whose first bytes (the whole image's size, filled at
// least through the root directory) are start, and whose description is
// the one given.
SlotUse UseOfSlot(std::span<const std::byte> start, const std::string& description);

// Reads slots one after another through one handle, keeping one buffer.
class SlotUseReader {
  public:
    // Slot n (1..999) of the store open on device, with its description
    // from records; a failed read is reported and returned.
    Result<SlotUse> Read(OperationPorts& ports, DevHandle& device, const SlotTable& records, int n);

  private:
    std::vector<std::byte> start_ = std::vector<std::byte>(kImageBytes);
};

// The first count free slots of the store, in order (fewer when it has
// fewer); a failed open or read is reported and returned.
Result<std::vector<int>> FreeSlotsOf(OperationPorts& ports, StoreInUse store, std::size_t count);

// Those of slots that are used, in their order.
Result<std::vector<int>> UsedSlotsAmong(OperationPorts& ports, StoreInUse store,
                                        const std::vector<int>& slots);

}  // namespace quarnex
