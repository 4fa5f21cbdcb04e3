#include <array>
#include <iostream>

#include "cli/commands.hpp"
#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "scan/admin_rights.hpp"
#include "scan/drive_scan.hpp"
#include "state/reported_io.hpp"
#include "store/disk_ids.hpp"

namespace quarnex::cli {

namespace {

// Slot 0's label, trimmed: the ID of the whole store.
std::string StoreId(Context& ctx, const std::string& devicePath) {
    Result<DevHandle> handle =
        GetHandle(ctx, devicePath, Access::Read, Disposition::OpenExisting, Reporting::Quiet);
    std::array<std::byte, kSectorBytes> sector{};
    const bool read = handle && ReadSectorAndReport(ctx, handle.Value(), sector, 0, kSectorBytes, 0,
                                                    Reporting::Quiet);
    return read ? TrimSpaces(DiskIdFromBootSector(sector)) : std::string();
}

}  // namespace

int RunScan(CliWorld& world, LoopDevices loopDevices) {
    Context& ctx = world.Ctx();
    if (const std::string advice = MissingRightsAdvice(ctx); !advice.empty()) {
        world.Console().Note(advice);
    }
    ScanDrives(ctx, ctx.state.devices, ctx.state.floppies, loopDevices);
    const DeviceTable& table = ctx.state.devices;
    if (table.count == 0) {
        world.Console().Note("No stores found.");
        if (loopDevices == LoopDevices::Skip && world.Naming().loopDevices) {
            world.Console().Note(
                "Loop devices (a store image attached with losetup) are looked at with --all.");
        }
    }
    for (int i = 1; i <= table.count; ++i) {
        const DeviceEntry& entry = table.Row(i);
        std::cout << entry.name << '\t' << entry.path << '\t' << StoreId(ctx, entry.path) << '\n';
    }
    return kExitSuccess;
}

}  // namespace quarnex::cli
