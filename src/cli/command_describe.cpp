#include <iostream>

#include "cli/command_support.hpp"
#include "cli/commands.hpp"
#include "cli/terminal_text.hpp"
#include "core/text.hpp"
#include "core/text_encoding.hpp"
#include "store/descriptions.hpp"
#include "store/store_paths.hpp"

namespace quarnex::cli {

int RunDescribe(CliWorld& world, const Invocation& invocation) {
    const std::optional<StoreTarget> store = OpenStore(world, invocation.store, StoreUse::Existing,
                                                       StoreAccess::Write, StoreRecords::Load);
    if (!store) {
        return kExitFailure;
    }
    Context& ctx = world.Ctx();
    const int slot = invocation.slot;
    const std::string text = DescriptionFromArgument(invocation.text);
    SlotTable& table = ctx.state.slotTable;
    if (table.Slot(slot).description == text) {
        // As in the grid editor, an unchanged description writes nothing.
        world.Console().Note("the description of slot " + ThreeDigits(slot) + " is unchanged");
        return ExitCode(world, true);
    }
    // Said before the question, so that a script's refusal says it too.
    const TextEncoding encoding = table.descriptionsFile.encoding;
    const std::string lacking = CharactersEncodingLacks(text, encoding);
    if (!lacking.empty()) {
        world.Console().Note("DISKS.TXT of " + store->entry.path + " is written in " +
                             EncodingName(encoding) + ", which cannot hold \"" +
                             TerminalText(lacking) +
                             "\" of the description: they are saved as \"?\"");
    }
    if (!ConfirmReplaceDescriptions(world, *store) ||
        !world.Console().Confirm(
            "change the description of " + SlotName(world, *store, slot) +
            (lacking.empty() ? "?" : ", with \"?\" for what cannot be saved?"))) {
        return kExitFailure;
    }
    table.SetDescription(slot, text);
    if (!SaveDescriptions(ctx, ctx.state.SelectedStore())) {
        return ExitCode(world, false);
    }
    std::cout << "slot " << ThreeDigits(slot) << " described\n";
    return ExitCode(world, true);
}

}  // namespace quarnex::cli
