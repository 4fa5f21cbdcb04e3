#include "platform/udisks/udisks_client.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <sdbus-c++/sdbus-c++.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace quarnex {

namespace {

constexpr const char* kService = "org.freedesktop.UDisks2";
constexpr const char* kRoot = "/org/freedesktop/UDisks2";
constexpr const char* kBlock = "org.freedesktop.UDisks2.Block";
constexpr const char* kDrive = "org.freedesktop.UDisks2.Drive";
constexpr const char* kPartition = "org.freedesktop.UDisks2.Partition";
constexpr const char* kFilesystem = "org.freedesktop.UDisks2.Filesystem";
constexpr const char* kNotAuthorized = "org.freedesktop.UDisks2.Error.NotAuthorized";
// Names the bus of a stand-in service (a D-Bus address); unset in normal use.
constexpr const char* kBusVariable = "QUARNEX_UDISKS_BUS";
// polkit may ask the user for a password: give them time to type it.
constexpr auto kAuthorisingTimeout = std::chrono::minutes(5);

using Properties = std::map<std::string, sdbus::Variant>;
using Interfaces = std::map<std::string, Properties>;
using ManagedObjects = std::map<sdbus::ObjectPath, Interfaces>;

// A property of the expected type, or the default where it is missing or of
// another type (services differ between versions).
template <typename T>
T Get(const Properties& properties, const char* name, T fallback = T()) {
    const auto found = properties.find(name);
    if (found == properties.end()) {
        return fallback;
    }
    try {
        return found->second.get<T>();
    } catch (const sdbus::Error&) {
        return fallback;
    }
}

// udisks2 passes paths as NUL-terminated byte arrays.
std::string PathFromBytes(const std::vector<std::uint8_t>& bytes) {
    std::string text(bytes.begin(), bytes.end());
    return text.substr(0, text.find('\0'));
}

std::vector<std::string> PathsFromBytes(const std::vector<std::vector<std::uint8_t>>& list) {
    std::vector<std::string> paths;
    for (const std::vector<std::uint8_t>& bytes : list) {
        paths.push_back(PathFromBytes(bytes));
    }
    return paths;
}

UdisksBlock ReadBlock(const std::string& object, const Interfaces& interfaces) {
    const Properties& block = interfaces.at(kBlock);
    UdisksBlock result;
    result.object = object;
    result.device = PathFromBytes(Get<std::vector<std::uint8_t>>(block, "Device"));
    result.preferredDevice =
        PathFromBytes(Get<std::vector<std::uint8_t>>(block, "PreferredDevice"));
    result.symlinks =
        PathsFromBytes(Get<std::vector<std::vector<std::uint8_t>>>(block, "Symlinks"));
    result.size = Get<std::uint64_t>(block, "Size");
    result.drive = Get<sdbus::ObjectPath>(block, "Drive", sdbus::ObjectPath("/"));
    result.hintSystem = Get<bool>(block, "HintSystem");
    result.hintIgnore = Get<bool>(block, "HintIgnore");
    result.readOnly = Get<bool>(block, "ReadOnly");
    if (const auto partition = interfaces.find(kPartition); partition != interfaces.end()) {
        result.partitionTable = Get<sdbus::ObjectPath>(partition->second, "Table");
    }
    if (const auto filesystem = interfaces.find(kFilesystem); filesystem != interfaces.end()) {
        result.hasFilesystem = true;
        result.mountPoints = PathsFromBytes(
            Get<std::vector<std::vector<std::uint8_t>>>(filesystem->second, "MountPoints"));
    }
    return result;
}

UdisksDrive ReadDrive(const Properties& drive) {
    UdisksDrive result;
    result.removable = Get<bool>(drive, "Removable");
    result.mediaAvailable = Get<bool>(drive, "MediaAvailable", true);
    result.mediaRemovable = Get<bool>(drive, "MediaRemovable");
    for (const std::string& media : Get<std::vector<std::string>>(drive, "MediaCompatibility")) {
        result.optical = result.optical || media.rfind("optical", 0) == 0;
    }
    result.vendor = Get<std::string>(drive, "Vendor");
    result.model = Get<std::string>(drive, "Model");
    result.serial = Get<std::string>(drive, "Serial");
    result.connectionBus = Get<std::string>(drive, "ConnectionBus");
    result.size = Get<std::uint64_t>(drive, "Size");
    return result;
}

}  // namespace

std::string UdisksBlock::Name() const {
    return device.substr(device.rfind('/') + 1);
}

bool UdisksBlock::Names(const std::string& path) const {
    return !path.empty() && (path == device || path == preferredDevice ||
                             std::find(symlinks.begin(), symlinks.end(), path) != symlinks.end());
}

const UdisksBlock* UdisksObjects::BlockOf(const std::string& devicePath) const {
    for (const UdisksBlock& block : blocks) {
        if (block.Names(devicePath)) {
            return &block;
        }
    }
    return nullptr;
}

const UdisksDrive* UdisksObjects::DriveOf(const UdisksBlock& block) const {
    const auto found = drives.find(block.drive);
    return found == drives.end() ? nullptr : &found->second;
}

std::vector<const UdisksBlock*> UdisksObjects::Offered() const {
    std::vector<const UdisksBlock*> offered;
    for (const UdisksBlock& block : blocks) {
        if (block.partitionTable.empty() && DriveOf(block) != nullptr && !block.hintSystem &&
            !block.hintIgnore && !block.device.empty()) {
            offered.push_back(&block);
        }
    }
    std::sort(offered.begin(), offered.end(),
              [](const UdisksBlock* a, const UdisksBlock* b) { return a->Name() < b->Name(); });
    return offered;
}

UdisksClient::UdisksClient(std::unique_ptr<sdbus::IConnection> connection)
    : connection_(std::move(connection)) {}

UdisksClient::~UdisksClient() = default;

std::unique_ptr<UdisksClient> UdisksClient::Connect() {
    try {
        const char* address = std::getenv(kBusVariable);
        std::unique_ptr<sdbus::IConnection> connection =
            address != nullptr && *address != '\0'
                ? sdbus::createSessionBusConnectionWithAddress(address)
                : sdbus::createSystemBusConnection();
        std::unique_ptr<UdisksClient> client(new UdisksClient(std::move(connection)));
        // Asking for the objects also starts a service that is installed but
        // not yet running.
        if (!client->Objects()) {
            return nullptr;
        }
        return client;
    } catch (const sdbus::Error&) {
        return nullptr;
    }
}

std::optional<UdisksObjects> UdisksClient::Objects() {
    ManagedObjects managed;
    try {
        auto proxy = sdbus::createProxy(*connection_, kService, kRoot);
        proxy->callMethod("GetManagedObjects")
            .onInterface("org.freedesktop.DBus.ObjectManager")
            .storeResultsTo(managed);
    } catch (const sdbus::Error& e) {
        lastFailure_ = e.getMessage();
        return std::nullopt;
    }
    UdisksObjects objects;
    for (const auto& [path, interfaces] : managed) {
        if (interfaces.count(kBlock) != 0) {
            objects.blocks.push_back(ReadBlock(path, interfaces));
        }
        if (const auto drive = interfaces.find(kDrive); drive != interfaces.end()) {
            objects.drives.emplace(path, ReadDrive(drive->second));
        }
    }
    known_ = objects;
    return objects;
}

namespace {

int ErrorOf(const sdbus::Error& e, std::string& lastFailure) {
    lastFailure = e.getMessage().empty() ? e.getName() : e.getMessage();
    return e.getName().rfind(kNotAuthorized, 0) == 0 ? kUdisksNotAuthorized : kUdisksFailed;
}

}  // namespace

int UdisksClient::OpenDevice(const std::string& object, const std::string& mode, int& error) {
    try {
        auto proxy = sdbus::createProxy(*connection_, kService, object);
        sdbus::UnixFd fd;
        proxy->callMethod("OpenDevice")
            .onInterface(kBlock)
            .withTimeout(kAuthorisingTimeout)
            .withArguments(mode, Properties{})
            .storeResultsTo(fd);
        const int raw = fd.release();
        // The descriptor arrives without close-on-exec; no child may keep it.
        ::fcntl(raw, F_SETFD, FD_CLOEXEC);
        error = 0;
        return raw;
    } catch (const sdbus::Error& e) {
        error = ErrorOf(e, lastFailure_);
        return -1;
    }
}

int UdisksClient::Unmount(const UdisksObjects& objects, const std::string& object) {
    for (const UdisksBlock& block : objects.blocks) {
        const bool ours = block.object == object || block.partitionTable == object;
        if (!ours || !block.hasFilesystem || block.mountPoints.empty()) {
            continue;
        }
        if (const int error = CallWithOptions(block.object, kFilesystem, "Unmount"); error != 0) {
            return error;
        }
    }
    return 0;
}

int UdisksClient::CallWithOptions(const std::string& object, const char* interface,
                                  const char* method) {
    try {
        auto proxy = sdbus::createProxy(*connection_, kService, object);
        proxy->callMethod(method)
            .onInterface(interface)
            .withTimeout(kAuthorisingTimeout)
            .withArguments(Properties{})
            .storeResultsTo();
    } catch (const sdbus::Error& e) {
        return ErrorOf(e, lastFailure_);
    }
    return 0;
}

int UdisksClient::UnmountAll(const std::string& object) {
    const std::optional<UdisksObjects> objects = Objects();
    return objects ? Unmount(*objects, object) : kUdisksFailed;
}

int UdisksClient::PowerOff(const std::string& object) {
    const std::optional<UdisksObjects> objects = Objects();
    if (!objects) {
        return kUdisksFailed;
    }
    if (const int error = Unmount(*objects, object); error != 0) {
        return error;
    }
    const auto block = std::find_if(objects->blocks.begin(), objects->blocks.end(),
                                    [&](const UdisksBlock& b) { return b.object == object; });
    if (block == objects->blocks.end() || objects->DriveOf(*block) == nullptr) {
        lastFailure_ = "the device is not on a drive that can be powered off";
        return kUdisksFailed;
    }
    return CallWithOptions(block->drive, kDrive, "PowerOff");
}

std::string UdisksClient::ErrorText(int code) const {
    if (code == kUdisksNotAuthorized) {
        return "Access to the device was not authorised (udisks2, polkit); nothing was changed.";
    }
    if (code == kUdisksFailed) {
        return "The udisks2 service failed: " + lastFailure_;
    }
    return {};
}

}  // namespace quarnex
