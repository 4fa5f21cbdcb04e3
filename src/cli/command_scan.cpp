#include <array>
#include <iostream>

#include "cli/commands.hpp"
#include "device/device_io.hpp"
#include "device/drive_scan.hpp"
#include "frame/layout.hpp"
#include "frame/text.hpp"
#include "store/disk_ids.hpp"

namespace quarnex::cli {

namespace {

// Slot 0's label, trimmed: the ID of the whole store.
std::string StoreId(Context& ctx, const std::string& devicePath) {
    DevHandle handle =
        GetHandle(ctx, devicePath, FILE_GENERIC_READ, FILE_SHARE_READ_WRITE, OPEN_EXISTING, true);
    std::array<std::byte, kSectorBytes> sector{};
    const bool read = handle.Valid() && fntRead(ctx, handle, sector, 0, kSectorBytes, 0, true);
    CloseDevHandle(ctx, handle);
    return read ? TrimSpaces(DiskIdFromBootSector(sector)) : std::string();
}

}  // namespace

int RunScan(CliWorld& world) {
    Context& ctx = world.Ctx();
    ScanDrives(ctx);
    const DeviceTable& table = ctx.state.devices;
    for (int i = 1; i <= table.DeviceCount; ++i) {
        const DeviceEntry& entry = table.Row(i);
        std::cout << entry.DeviceLetter << '\t' << entry.DevicePath << '\t'
                  << StoreId(ctx, entry.DevicePath) << '\n';
    }
    return kExitSuccess;
}

int RunCommand(CliWorld& world, const Invocation& invocation) {
    switch (invocation.command) {
        case Command::Scan:
            return RunScan(world);
        case Command::List:
            return RunList(world, invocation);
        case Command::Get:
            return RunGet(world, invocation);
        case Command::Put:
            return RunPut(world, invocation);
        case Command::Describe:
            return RunDescribe(world, invocation);
        case Command::Format:
            return RunFormat(world, invocation);
        case Command::Create:
            return RunCreate(world, invocation);
        case Command::Backup:
            return RunBackup(world, invocation);
        case Command::Restore:
            return RunRestore(world, invocation);
        case Command::ImageNew:
            return RunImageNew(world, invocation);
        case Command::ImageZero:
            return RunImageZero(world, invocation);
        case Command::FloppyRead:
            return RunFloppyRead(world, invocation);
        case Command::FloppyWrite:
            return RunFloppyWrite(world, invocation);
    }
    return kExitUsage;
}

}  // namespace quarnex::cli
