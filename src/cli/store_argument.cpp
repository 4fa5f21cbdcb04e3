#include "cli/store_argument.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <span>

#include "cli/console_ui.hpp"
#include "commands/store_check.hpp"
#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "scan/admin_rights.hpp"
#include "scan/drive_scan.hpp"
#include "state/error_report.hpp"
#include "state/reported_io.hpp"
#include "store/store_paths.hpp"

namespace quarnex::cli {

namespace fs = std::filesystem;

namespace {

void Refuse(Context& ctx, const std::string& title, const std::string& text) {
    ctx.ui.ShowMessage(MessageRequest{title, text, MessageButtons::Ok, MessageIcon::Exclamation});
}

}  // namespace

std::optional<StoreTarget> ResolveStore(Context& ctx, const std::string& argument, StoreUse use) {
    std::error_code ec;
    const fs::file_status status = fs::status(argument, ec);
    // A device the platform reaches through a service, or by a Windows
    // device path, has no file of its name.
    const bool namedDevice = ctx.drives.KnowsDevice(argument);
    if (!namedDevice && (ec || !fs::exists(status))) {
        Refuse(ctx, "Store Not Found", argument + std::string(kCrLf) + "No such file or device.");
        return std::nullopt;
    }
    StoreTarget target;
    if (fs::is_regular_file(status) && !namedDevice) {
        target.isFile = true;
        const fs::path absolute = fs::absolute(argument, ec);
        target.entry.path = ec ? argument : absolute.lexically_normal().string();
        target.entry.name = fs::path(target.entry.path).filename().string();
        const LengthResult length = ctx.devices.FileLength(target.entry.path);
        if (!length.length || *length.length != kStoreBytes) {
            RefuseStoreFileLength(ctx, target.entry.path, length.length.value_or(0));
            return std::nullopt;
        }
        target.entry.sizeBytes = kStoreBytes;
    } else if (fs::is_block_file(status) || namedDevice) {
        const fs::path node = fs::canonical(argument, ec);
        target.entry.path = ec ? argument : node.string();
        if (const std::string advice = MissingRightsAdvice(ctx); !advice.empty()) {
            Refuse(ctx, "Administrator Rights Needed",
                   target.entry.path + std::string(kCrLf) + advice);
            return std::nullopt;
        }
        target.entry.name = fs::path(target.entry.path).filename().string();
        int error = 0;
        const std::optional<PhysicalDrive> disk = ctx.drives.WholeDiskOf(target.entry.name, error);
        if (disk && !disk->nodePath.empty() && disk->nodePath != target.entry.path) {
            Refuse(ctx, "Not A Whole Disk",
                   target.entry.path + " is a partition." + std::string(kCrLf) +
                       "A store is the whole device; name the disk itself.");
            return std::nullopt;
        }
        const LengthResult length = ctx.devices.FileLength(target.entry.path);
        if (!length.length) {
            ErrorReport(ctx, length.error, "quarnex-cli.Store",
                        "The device's size could not be read: " + target.entry.path);
            return std::nullopt;
        }
        if (*length.length < kStoreBytes) {
            Refuse(ctx, "Device Too Small",
                   target.entry.path + " holds " +
                       FormatThousands(static_cast<std::int64_t>(*length.length)) + " bytes;" +
                       std::string(kCrLf) + "a store needs 1,572,864,000.");
            return std::nullopt;
        }
        target.entry.sizeBytes = *length.length;
        if (disk) {
            target.entry.driveNumber = disk->number;
        }
        if (use == StoreUse::Overwrite && ctx.drives.HoldsRunningSystem(target.entry.path)) {
            Refuse(ctx, "System Disk",
                   target.entry.path + " holds the running system's root file system." +
                       std::string(kCrLf) + "It is never written as a store.");
            return std::nullopt;
        }
    } else {
        Refuse(ctx, "Not A Store",
               argument + std::string(kCrLf) + "Neither a block device nor a store image file.");
        return std::nullopt;
    }

    const std::optional<std::array<std::byte, kBootSectorBytes>> sector =
        StoreFirstSector(ctx, target.entry.path);
    if (!sector) {
        return std::nullopt;  // the open or read has said why
    }
    target.looksLikeStore = IsStoreBootSector(*sector);
    if (use == StoreUse::Existing && !target.looksLikeStore) {
        RefuseNotAStore(ctx, target.entry.path);
        return std::nullopt;
    }
    return target;
}

void SelectStore(Context& ctx, const StoreTarget& target) {
    ctx.state.devices.count = 1;
    ctx.state.devices.Row(1) = target.entry;
    ctx.state.selectedDevice = 1;
    ctx.state.selectedDisk = 0;
}

}  // namespace quarnex::cli
