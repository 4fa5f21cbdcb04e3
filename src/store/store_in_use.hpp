#pragma once
// The store an operation works on: the device or file that holds it, and the
// records of its slots, which the operation reads and keeps up to date.

#include "state/device_table.hpp"
#include "store/slot_table.hpp"

namespace quarnex {

struct StoreInUse {
    DeviceEntry device;
    SlotTable& records;
};

}  // namespace quarnex
