#include "store/store_write_access.hpp"

#include <string>

#include "store/store_paths.hpp"

namespace quarnex {

std::optional<StoreWriteHandles> OpenStoreForWriting(Context& ctx) {
    const std::string devicePath = ctx.state.SelectedEntry().path;
    StoreWriteHandles handles;
    handles.volume = GetHandle(ctx, StoreVolumePath(ctx), Access::Write, Disposition::OpenExisting,
                               Reporting::Shown);
    if (!handles.volume.Valid()) {
        return std::nullopt;
    }
    if (!UnmountVolume(ctx, handles.volume)) {
        CloseDevHandle(ctx, handles.volume);
        return std::nullopt;
    }
    handles.device =
        GetHandle(ctx, devicePath, Access::Write, Disposition::OpenExisting, Reporting::Shown);
    if (!handles.device.Valid()) {
        CloseDevHandle(ctx, handles.volume);
        return std::nullopt;
    }
    return handles;
}

bool CloseStore(Context& ctx, StoreWriteHandles& handles, CloseOrder order) {
    DevHandle& first = order == CloseOrder::VolumeFirst ? handles.volume : handles.device;
    DevHandle& second = order == CloseOrder::VolumeFirst ? handles.device : handles.volume;
    const bool firstFlushed = CloseDevHandle(ctx, first);
    const bool secondFlushed = CloseDevHandle(ctx, second);
    return firstFlushed && secondFlushed;
}

}  // namespace quarnex
