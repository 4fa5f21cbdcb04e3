#include <iostream>

#include "cli/command_support.hpp"
#include "cli/commands.hpp"
#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "store/store_compare.hpp"

namespace quarnex::cli {

int RunVerify(CliWorld& world, const Invocation& invocation) {
    // Read under the shared lock: no writer changes the store meanwhile.
    const std::optional<StoreTarget> store = OpenStore(world, invocation.store, StoreUse::Existing,
                                                       StoreAccess::Read, StoreRecords::Skip);
    if (!store) {
        return kExitFailure;
    }
    const std::string& path = invocation.file;
    world.Console().SetTransferBytes(kStoreBytes);
    const StoreComparison comparison = CompareStoreWithFile(world.Ctx(), store->entry.path, path);
    for (const SlotDifference& difference : comparison.differing) {
        std::cout << "slot " << ThreeDigits(difference.slot) << " differs (first at byte "
                  << FormatThousands(static_cast<std::int64_t>(difference.byte)) << ")\n";
    }
    if (!comparison.run.Complete() || world.Console().Interrupted()) {
        if (comparison.run.outcome == Outcome::Incomplete) {
            world.Console().Note("the comparison stopped at slot " +
                                 ThreeDigits(comparison.run.unit) +
                                 "; later slots were not compared");
        }
        return ExitCode(world, false);
    }
    if (!comparison.differing.empty()) {
        std::cout << comparison.differing.size() << " of " << kSlotCount << " slots of "
                  << store->entry.path << " differ from " << path << '\n';
        return ExitCode(world, false);
    }
    std::cout << store->entry.path << " holds the same " << kSlotCount << " slots as " << path
              << '\n';
    return ExitCode(world, true);
}

}  // namespace quarnex::cli
