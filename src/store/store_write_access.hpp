#pragma once
// Opening a USB store for writing: its own volume is opened and dismounted
// first, so that no file system holds stale data while slots are rewritten,
// then the whole device is opened.

#include "state/device_table.hpp"
#include "state/reported_io.hpp"

namespace quarnex {

struct StoreWriteHandles {
    DevHandle volume;  // kept open (dismounted) until the writing ends
    DevHandle device;
};

// Both handles of the store, or the failing step's error (already reported);
// whatever was opened before the failure closes as its handle goes.
Result<StoreWriteHandles> OpenStoreForWriting(OperationPorts& ports, const DeviceEntry& store);

// A slot export closes the device first; the whole-store writers (format,
// restore) close the volume first.
enum class CloseOrder { DeviceFirst, VolumeFirst };

// Closes both handles in that order. Fails when either could not put its
// data on the medium (already reported).
Status CloseStore(OperationPorts& ports, StoreWriteHandles& handles, CloseOrder order);

}  // namespace quarnex
