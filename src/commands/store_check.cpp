#include "commands/store_check.hpp"

#include "core/text.hpp"
#include "state/reported_io.hpp"

namespace quarnex {

namespace {

void Refuse(Context& ctx, const std::string& title, const std::string& text) {
    ctx.ui.ShowMessage(MessageRequest{title, text, MessageButtons::Ok, MessageIcon::Exclamation});
}

}  // namespace

void RefuseNotAStore(Context& ctx, const std::string& path) {
    Refuse(ctx, "Not A Store",
           path + std::string(kCrLf) +
               "Its first sector is not the boot sector of a 1.44 MB FAT12 volume.");
}

std::optional<std::array<std::byte, kBootSectorBytes>> StoreFirstSector(Context& ctx,
                                                                        const std::string& path) {
    Result<DevHandle> handle =
        GetHandle(ctx, path, Access::Read, Disposition::OpenExisting, Reporting::Shown);
    std::array<std::byte, kBootSectorBytes> sector{};
    if (!handle || !ReadSectorAndReport(ctx, handle.Value(), sector, 0, kBootSectorBytes, 0,
                                        Reporting::Shown)) {
        return std::nullopt;
    }
    return sector;
}

}  // namespace quarnex
