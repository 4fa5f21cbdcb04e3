#include <CLI/CLI.hpp>
#include <algorithm>

#include "cli/argument_parts.hpp"

namespace quarnex::cli {

namespace {

// "1-10,15,20..30": slots and runs of slots, in slot order, each once.
std::optional<std::vector<int>> ParseSlotRange(std::string_view text) {
    std::vector<int> slots;
    while (!text.empty()) {
        const std::size_t comma = std::min(text.find(','), text.size());
        const std::string_view part = text.substr(0, comma);
        text = comma < text.size() ? text.substr(comma + 1) : std::string_view();
        const std::size_t dash = part.find('-');
        const std::size_t dots = part.find("..");
        const std::size_t split = dash != std::string_view::npos ? dash : dots;
        const std::size_t after = dash != std::string_view::npos ? dash + 1 : dots + 2;
        const std::optional<int> first = ParseSlotNumber(part.substr(0, split));
        const std::optional<int> last =
            split == std::string_view::npos ? first : ParseSlotNumber(part.substr(after));
        if (!first || !last || *last < *first) {
            return std::nullopt;
        }
        for (int slot = *first; slot <= *last; ++slot) {
            slots.push_back(slot);
        }
    }
    std::sort(slots.begin(), slots.end());
    slots.erase(std::unique(slots.begin(), slots.end()), slots.end());
    if (slots.empty()) {
        return std::nullopt;
    }
    return slots;
}

}  // namespace

void AddFolderCommands(CLI::App& app, Invocation& invocation) {
    CLI::App* exporter = AddCommand(
        app, "export", "Copy slots into a folder as numbered image files, with their descriptions",
        Command::Export, invocation);
    exporter->add_option("STORE", invocation.store, "Store")->required()->check(NotEmpty());
    exporter->add_option("DIR", invocation.folder, "Folder to write; made when missing")
        ->required()
        ->check(NotEmpty());
    exporter
        ->add_option_function<std::string>(
            "--slots",
            [&invocation](const std::string& text) { invocation.slotRange = ParseSlotRange(text); },
            "Only these slots, e.g. 1-10,15,20..30")
        ->check(CLI::Validator(
            [](const std::string& text) {
                return ParseSlotRange(text) ? std::string()
                                            : "'" + text + "' is not a list of slots 1..999";
            },
            "RANGE"));
    exporter->add_flag("--all", invocation.all, "Free slots too, not only the used ones");
    exporter
        ->add_option_function<std::string>(
            "--names", [&invocation](const std::string&) { invocation.namesId = true; },
            "id: add the Disk ID to each name, as in 005_MYDISK.img")
        ->check(CLI::IsMember({"id"}));
    exporter->add_flag("--force", invocation.force, "Replace files of the same name in DIR");
    exporter->add_flag("--dry-run", invocation.dryRun,
                       "Say which slot would go into which file; write nothing");
    exporter->footer(
        "Writes NNN.img for each used slot (each slot with --all) and their descriptions in\n"
        "DIR/descriptions.txt, one line per slot: the number, a space, the text (\\n breaks "
        "lines).");

    CLI::App* importer = AddCommand(
        app, "import", "Put a folder's image files into slots: NNN.img and NNN_*.img into slot NNN",
        Command::Import, invocation);
    importer->add_option("DIR", invocation.folder, "Folder of 1.44 MB image files (*.img)")
        ->required()
        ->check(NotEmpty());
    importer->add_option("STORE", invocation.store, "Store")->required()->check(NotEmpty());
    importer->add_flag("--dry-run", invocation.dryRun,
                       "Say which file would go into which slot; write nothing");
    AddNoVerify(*importer, invocation);
    importer->footer(
        "Other image files go, in name order, into free slots. Descriptions come back from\n"
        "DIR/descriptions.txt when it is there.");
}

}  // namespace quarnex::cli
