#include "store/store_write_access.hpp"

#include <string>

#include "store/store_paths.hpp"

namespace quarnex {

Result<StoreWriteHandles> OpenStoreForWriting(OperationPorts& ports, const DeviceEntry& store) {
    Result<DevHandle> volume = GetHandle(ports, StoreVolumePath(ports, store), Access::Write,
                                         Disposition::OpenExisting, Reporting::Shown);
    if (!volume) {
        return Failure{volume.Error()};
    }
    if (Status unmounted = UnmountVolume(ports, volume.Value()); !unmounted) {
        return Failure{unmounted.Error()};
    }
    Result<DevHandle> device =
        GetHandle(ports, store.path, Access::Write, Disposition::OpenExisting, Reporting::Shown);
    if (!device) {
        return Failure{device.Error()};
    }
    return StoreWriteHandles{std::move(volume).Value(), std::move(device).Value()};
}

Status CloseStore(OperationPorts& ports, StoreWriteHandles& handles, CloseOrder order) {
    DevHandle& first = order == CloseOrder::VolumeFirst ? handles.volume : handles.device;
    DevHandle& second = order == CloseOrder::VolumeFirst ? handles.device : handles.volume;
    // Both are closed whatever the first gives; the first failure is the one told.
    Status firstClosed = CloseDevHandle(ports, first);
    Status secondClosed = CloseDevHandle(ports, second);
    return firstClosed ? secondClosed : firstClosed;
}

}  // namespace quarnex
