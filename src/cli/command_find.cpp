#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/command_support.hpp"
#include "cli/commands.hpp"
#include "cli/terminal_text.hpp"
#include "core/text.hpp"
#include "store/descriptions.hpp"
#include "store/store_find.hpp"

namespace quarnex::cli {

namespace {

const char* FoundInName(FoundIn in) {
    switch (in) {
        case FoundIn::DiskId:
            return "id";
        case FoundIn::Description:
            return "description";
        case FoundIn::File:
            return "file";
    }
    return "";
}

// A description on one line: its line breaks as describe takes them ("\n").
std::string OneLine(const std::string& text, const std::string& breakText) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        line += text[i] == '\n' ? breakText : std::string(1, text[i]);
    }
    return line;
}

void PrintJson(const std::vector<FindMatch>& matches) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const FindMatch& match : matches) {
        list.push_back({{"slot", match.slot},
                        {"id", match.diskId},
                        {"found_in", FoundInName(match.in)},
                        {"text", OneLine(match.text, "\n")}});
    }
    const nlohmann::ordered_json document = {{"matches", list}};
    std::cout << document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
              << '\n';
}

void PrintText(const std::vector<FindMatch>& matches) {
    for (const FindMatch& match : matches) {
        std::cout << ThreeDigits(match.slot) << ' ' << TerminalText(match.diskId) << "  "
                  << FoundInName(match.in) << ": " << TerminalText(OneLine(match.text, "\\n"))
                  << '\n';
    }
}

}  // namespace

int RunFind(CliWorld& world, const Invocation& invocation) {
    // The Disk IDs come from the boot sectors the search reads anyway.
    const std::optional<StoreTarget> store = OpenStore(world, invocation.store, StoreUse::Existing,
                                                       StoreAccess::Read, StoreRecords::Skip);
    if (!store) {
        return kExitFailure;
    }
    Context& ctx = world.Ctx();
    // Looking must not change the store: a missing DISKS.TXT stays missing.
    ReadDescriptions(ctx, ctx.state.SelectedStore());
    NoteDescriptionsRead(world, *store);
    const FindResult found = FindInStore(ctx, ctx.state.SelectedStore(), invocation.text);
    // What was found before a failure or a Ctrl-C is shown too.
    if (invocation.json) {
        PrintJson(found.matches);
    } else {
        PrintText(found.matches);
    }
    if (found.result.outcome == Outcome::Incomplete) {
        world.Console().Note("the search stopped at slot " + ThreeDigits(found.result.unit) +
                             (found.result.Cancelled() ? " (cancelled)" : "") +
                             ": the slots from there on were not looked through");
    }
    if (!found.result.Complete() || world.Console().Interrupted()) {
        return ExitCode(world, false);
    }
    if (found.matches.empty()) {
        world.Console().Note("nothing in " + store->entry.path + " matches \"" +
                             TerminalText(invocation.text) + "\"");
    }
    return found.matches.empty() ? kExitFailure : kExitSuccess;
}

}  // namespace quarnex::cli
