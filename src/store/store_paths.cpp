#include "store/store_paths.hpp"

namespace quarnex {

bool StoreIsFile(Context& ctx) {
    return ctx.state.SelectedDevice != 0 &&
           ctx.devices.FileExists(ctx.state.SelectedEntry().DevicePath);
}

std::string StoreVolumePath(Context& ctx) {
    const DeviceEntry& entry = ctx.state.SelectedEntry();
    return StoreIsFile(ctx) ? entry.DevicePath : ctx.drives.VolumePath(entry.DeviceLetter);
}

std::string StoreDescriptionsName(Context& ctx) {
    return ctx.state.SelectedEntry().DeviceLetter + "/DISKS.TXT";
}

std::string DescriptionsOutputName(std::string_view name) {
    const std::size_t slash = name.rfind('/');
    const std::size_t from = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot < from) {
        return std::string(name) + ".txt";
    }
    return std::string(name.substr(0, dot + 1)) + "txt";
}

}  // namespace quarnex
