#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/command_support.hpp"
#include "cli/commands.hpp"
#include "cli/terminal_text.hpp"
#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "store/store_compare.hpp"

namespace quarnex::cli {

namespace {

// Description lines as the terminal and JSON show them: joined by "\n".
std::string PlainLines(const std::string& text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        result += text[i];
    }
    return result;
}

// hashes: each slot's image SHA-256 (list --hash), or none.
void PrintJson(CliWorld& world, const std::vector<std::string>& hashes) {
    const ProgramState& state = world.State();
    nlohmann::ordered_json slots = nlohmann::ordered_json::array();
    for (int n = 1; n < kSlotCount; ++n) {
        const SlotRecord& record = state.slotTable.Slot(n);
        slots.push_back({{"slot", n},
                         {"id", ShownDiskId(world, n)},
                         {"description", PlainLines(record.description)},
                         {"source", record.source},
                         // A put stopped part way: the image may mix two disks.
                         {"write_unfinished", record.writeUnfinished}});
        if (!hashes.empty()) {
            slots.back()["sha256"] = hashes[static_cast<std::size_t>(n)];
        }
    }
    const nlohmann::ordered_json document = {
        {"store_id", state.slotTable.storeId.value_or("")},
        {"base_id", state.slotTable.baseId},
        {"base_numbered", state.slotTable.baseIdNumbered},
        {"descriptions_problems", state.slotTable.descriptionsFile.problems},
        // A format or restore stopped part way: the slots may mix two stores.
        {"write_unfinished", state.slotTable.writeUnfinished},
        {"slots", slots}};
    // Bytes that are not UTF-8 (in a label, a file name) are replaced rather
    // than ending the output.
    std::cout << document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
              << '\n';
}

void PrintText(CliWorld& world) {
    const ProgramState& state = world.State();
    std::cout << "Store ID: " << TerminalText(state.slotTable.storeId.value_or("")) << '\n';
    std::cout << "Base ID:  ";
    if (state.slotTable.baseIdPresent) {
        std::cout << TerminalText(state.slotTable.baseId)
                  << (state.slotTable.baseIdNumbered ? " (numbered)" : " (not numbered)");
    } else {
        std::cout << "(none)";
    }
    std::cout << '\n';
    const std::string indent(4 + 11 + 2, ' ');
    for (int n = 1; n < kSlotCount; ++n) {
        const SlotRecord& record = state.slotTable.Slot(n);
        const std::string description = PlainLines(record.description);
        const std::string id = TerminalText(ShownDiskId(world, n));
        // No spaces at the end of a line without a description.
        std::cout << ThreeDigits(n) << ' '
                  << (description.empty() ? id.substr(0, id.find_last_not_of(' ') + 1) : id);
        std::size_t start = 0;
        bool first = true;
        while (start < description.size()) {
            const std::size_t end = description.find('\n', start);
            const std::string line = description.substr(start, end - start);
            std::cout << (first ? std::string("  ") : indent) << TerminalText(line) << '\n';
            first = false;
            start = end == std::string::npos ? description.size() : end + 1;
        }
        if (first) {
            std::cout << '\n';
        }
        if (!record.source.empty()) {
            std::cout << indent << "source: " << TerminalText(record.source) << '\n';
        }
        if (record.writeUnfinished) {
            std::cout << indent << "not completely written: put an image into it again\n";
        }
    }
}

}  // namespace

int RunList(CliWorld& world, const Invocation& invocation) {
    const std::optional<StoreTarget> store = OpenStore(world, invocation.store, StoreUse::Existing,
                                                       StoreAccess::Read, StoreRecords::Load);
    if (!store || world.Console().Interrupted()) {
        return ExitCode(world, false);
    }
    if (invocation.json) {
        std::vector<std::string> hashes;
        if (invocation.hash) {
            hashes = SlotImageHashes(world.Ctx(), store->entry.path);
            if (hashes.empty()) {
                return ExitCode(world, false);
            }
        }
        PrintJson(world, hashes);
    } else {
        PrintText(world);
    }
    // What DISKS.TXT could not give was said on stderr when it was read.
    return ExitCode(world, world.State().slotTable.descriptionsFile.problems.empty());
}

}  // namespace quarnex::cli
