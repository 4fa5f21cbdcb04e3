#include "store/store_paths.hpp"

namespace quarnex {

bool StoreIsFile(Context& ctx) {
    return ctx.state.selectedDevice != 0 && ctx.devices.FileExists(ctx.state.SelectedEntry().path);
}

std::string StoreVolumePath(Context& ctx) {
    const DeviceEntry& entry = ctx.state.SelectedEntry();
    return StoreIsFile(ctx) ? entry.path : ctx.drives.VolumePath(entry.name);
}

std::string StoreDescriptionsName(Context& ctx) {
    return ctx.state.SelectedEntry().name + "/DISKS.TXT";
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
