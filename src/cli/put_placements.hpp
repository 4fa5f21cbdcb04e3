#pragma once
// The second half of a many-image put, which import shares: the files'
// slots are chosen; a dry run prints the plan, otherwise the user is asked
// and the files written in one run.

#include <vector>

#include "cli/arguments.hpp"
#include "cli/cli_world.hpp"
#include "cli/store_argument.hpp"
#include "store/slot_batch.hpp"

namespace quarnex::cli {

int PutPlacements(CliWorld& world, const Invocation& invocation, const StoreTarget& store,
                  const std::vector<ImagePlacement>& placements);

}  // namespace quarnex::cli
