#include "commands/folder_transfer.hpp"

#include <algorithm>
#include <filesystem>
#include <map>

#include "commands/put_images.hpp"
#include "core/text.hpp"
#include "store/folder_layout.hpp"
#include "store/slot_usage.hpp"

namespace quarnex {

namespace {

const std::string kNothing = "; refused, nothing was written";

struct FolderImage {
    std::string name;
    NamedSlot named;
};

// The image files of folder in name order; none when it cannot be listed.
std::optional<std::vector<FolderImage>> ImagesIn(const std::string& folder) {
    std::error_code ec;
    std::filesystem::directory_iterator entries(folder, ec);
    if (ec) {
        return std::nullopt;
    }
    std::vector<FolderImage> images;
    for (const std::filesystem::directory_entry& entry : entries) {
        const std::string name = entry.path().filename().string();
        const NamedSlot named = SlotOfImageName(name);
        if (named.kind != NamedSlot::Kind::NotImage && !entry.is_directory(ec)) {
            images.push_back({name, named});
        }
    }
    std::sort(images.begin(), images.end(),
              [](const FolderImage& a, const FolderImage& b) { return a.name < b.name; });
    return images;
}

std::string SlotWords(long number) {
    return number > 999 ? "slot " + std::to_string(number) + (number > 9999 ? "+" : "")
                        : "slot " + ThreeDigits(number);
}

}  // namespace

std::string InFolder(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

ExportPlan PlanFolderExport(const SlotTable& records, const std::vector<int>& slots,
                            const std::string& folder, ExportNames names, ExistingFiles existing) {
    ExportPlan plan;
    std::map<int, std::string> chosen;
    for (const int slot : slots) {
        const std::optional<std::string> id =
            names == ExportNames::NumberAndId ? records.Slot(slot).diskId : std::nullopt;
        chosen[slot] = SlotImageName(slot, id);
        plan.targets.push_back({slot, InFolder(folder, chosen[slot])});
    }
    for (const FolderImage& image : ImagesIn(folder).value_or(std::vector<FolderImage>{})) {
        const auto taken = image.named.kind == NamedSlot::Kind::Numbered
                               ? chosen.find(static_cast<int>(image.named.number))
                               : chosen.end();
        if (taken == chosen.end() ||
            (taken->second == image.name && existing == ExistingFiles::Replace)) {
            continue;
        }
        plan.refusal = InFolder(folder, image.name) + " already holds " +
                       SlotWords(image.named.number) +
                       (taken->second == image.name
                            ? ": export replaces no file without --force"
                            : ": remove it first, or import would find two files for the slot") +
                       kNothing;
        break;
    }
    return plan;
}

std::string MergedFolderDescriptions(const std::optional<std::string>& old,
                                     const SlotTable& records, const std::vector<int>& written) {
    std::map<int, std::string> descriptions =
        old ? ParseFolderDescriptions(*old).bySlot : std::map<int, std::string>{};
    for (const int slot : written) {
        descriptions[slot] = records.Slot(slot).description;
    }
    return FolderDescriptionsText(descriptions);
}

ImportPlan PlanFolderImport(OperationPorts& ports, StoreInUse store, const std::string& folder) {
    ImportPlan plan;
    const std::optional<std::vector<FolderImage>> images = ImagesIn(folder);
    if (!images || images->empty()) {
        plan.refusal = folder + (images ? " holds no image files (*.img)" : " cannot be read") +
                       "; nothing was written";
        return plan;
    }
    std::map<int, std::string> numbered;  // slot -> file
    std::vector<std::string> others;
    std::vector<std::string> files;
    for (const auto& [name, named] : *images) {
        const std::string path = InFolder(folder, name);
        files.push_back(path);
        if (named.kind == NamedSlot::Kind::Unnumbered) {
            others.push_back(path);
            continue;
        }
        if (named.number < 1 || named.number > 999) {
            plan.refusal = path + " names " + SlotWords(named.number) +
                           (named.number < 1 ? ", the store's own volume" : ", past slot 999") +
                           kNothing;
            return plan;
        }
        const int slot = static_cast<int>(named.number);
        if (numbered.contains(slot)) {
            plan.refusal = path + " and " + numbered[slot] + " are both for slot " +
                           ThreeDigits(slot) + kNothing;
            return plan;
        }
        numbered[slot] = path;
    }
    if (const std::optional<ImageFileProblem> problem = CheckImageFiles(ports.devices, files)) {
        plan.refusal = ImageFileProblemText(*problem, ports.devices.ErrorText(problem->error));
        return plan;
    }
    const std::optional<std::string> text =
        ReadPlainFile(ports, InFolder(folder, kFolderDescriptionsName));
    FolderDescriptions descriptions = text ? ParseFolderDescriptions(*text) : FolderDescriptions{};
    plan.descriptionsFile = text.has_value();
    plan.linesSkipped = descriptions.skipped;
    for (const auto& [slot, path] : numbered) {
        const auto described = descriptions.bySlot.find(slot);
        const bool restored = described != descriptions.bySlot.end();
        plan.placements.push_back({path, slot, restored ? described->second : std::string()});
        if (restored) {
            ++plan.descriptionsRestored;
            descriptions.bySlot.erase(described);
        }
    }
    plan.linesSkipped += static_cast<int>(descriptions.bySlot.size());
    if (others.empty()) {
        return plan;
    }
    Result<std::vector<int>> free = FreeSlotsOf(ports, store, others.size() + numbered.size());
    if (!free) {
        plan.failed = true;
        return plan;
    }
    std::vector<int> slots;
    for (const int slot : free.Value()) {
        if (!numbered.contains(slot) && slots.size() < others.size()) {
            slots.push_back(slot);
        }
    }
    if (slots.size() < others.size()) {
        plan.refusal = others[slots.size()] + " finds no free slot: " + store.device.path +
                       " has " + std::to_string(slots.size()) + " free for " +
                       std::to_string(others.size()) + " unnumbered files" + kNothing;
        return plan;
    }
    for (std::size_t i = 0; i < others.size(); ++i) {
        plan.placements.push_back({others[i], slots[i]});
    }
    std::sort(plan.placements.begin(), plan.placements.end(),
              [](const ImagePlacement& a, const ImagePlacement& b) { return a.slot < b.slot; });
    return plan;
}

}  // namespace quarnex
