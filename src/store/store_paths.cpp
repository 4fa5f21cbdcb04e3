#include "store/store_paths.hpp"

#include "core/text.hpp"

namespace quarnex {

bool StoreIsFile(OperationPorts& ports, const DeviceEntry& store) {
    return ports.devices.FileExists(store.path);
}

std::string StoreVolumePath(OperationPorts& ports, const DeviceEntry& store) {
    return StoreIsFile(ports, store) ? store.path : ports.drives.VolumePath(store.name);
}

std::string StoreDescriptionsName(const DeviceEntry& store) {
    return store.name + "/DISKS.TXT";
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

void RefuseStoreFileLength(OperationPorts& ports, const std::string& path, std::uint64_t length) {
    ports.messages.ShowMessage(MessageRequest{
        "Image File Length Invalid",
        "Not a 1000 Floppy Image File." + std::string(kCrLf) + path + std::string(kCrLf) +
            "File Length = " + FormatThousands(static_cast<std::int64_t>(length)),
        MessageButtons::Ok, MessageIcon::Exclamation});
}

}  // namespace quarnex
