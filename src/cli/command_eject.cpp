#include <iostream>

#include "cli/command_support.hpp"
#include "cli/commands.hpp"
#include "core/text.hpp"
#include "state/error_report.hpp"

namespace quarnex::cli {

// Safely Remove: once the exclusive lock is held no other program is
// writing the stick, so it can be unmounted and powered off.
int RunEject(CliWorld& world, const Invocation& invocation) {
    const std::optional<StoreTarget> store = OpenStore(world, invocation.store, StoreUse::Overwrite,
                                                       StoreAccess::Write, StoreRecords::Skip);
    if (!store) {
        return kExitFailure;
    }
    const std::string& path = store->entry.path;
    if (store->isFile) {
        world.Console().Note(path + " is a file, not a drive; nothing to remove");
        return kExitFailure;
    }
    Context& ctx = world.Ctx();
    if (const int error = ctx.drives.PowerOff(path); error != 0) {
        ErrorReport(ctx, error, "quarnex-cli.Eject",
                    "The drive of " + path + " was not powered off; unplug it only after " +
                        "it has been.");
        return kExitFailure;
    }
    std::cout << path << " is powered off and can be unplugged\n";
    return kExitSuccess;
}

}  // namespace quarnex::cli
