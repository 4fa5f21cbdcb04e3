#include "store/store_write_access.hpp"

#include <string>

#include "store/store_paths.hpp"

namespace quarnex {

std::optional<StoreWriteHandles> OpenStoreForWriting(OperationPorts& ports,
                                                     const DeviceEntry& store) {
    const std::string devicePath = store.path;
    StoreWriteHandles handles;
    handles.volume = GetHandle(ports, StoreVolumePath(ports, store), Access::Write,
                               Disposition::OpenExisting, Reporting::Shown);
    if (!handles.volume.Valid()) {
        return std::nullopt;
    }
    if (!UnmountVolume(ports, handles.volume)) {
        CloseDevHandle(ports, handles.volume);
        return std::nullopt;
    }
    handles.device =
        GetHandle(ports, devicePath, Access::Write, Disposition::OpenExisting, Reporting::Shown);
    if (!handles.device.Valid()) {
        CloseDevHandle(ports, handles.volume);
        return std::nullopt;
    }
    return handles;
}

bool CloseStore(OperationPorts& ports, StoreWriteHandles& handles, CloseOrder order) {
    DevHandle& first = order == CloseOrder::VolumeFirst ? handles.volume : handles.device;
    DevHandle& second = order == CloseOrder::VolumeFirst ? handles.device : handles.volume;
    const bool firstFlushed = CloseDevHandle(ports, first);
    const bool secondFlushed = CloseDevHandle(ports, second);
    return firstFlushed && secondFlushed;
}

}  // namespace quarnex
