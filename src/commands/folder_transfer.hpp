#pragma once
// Slots to a folder of image files and back, as both front ends plan them:
// which slots go out under which names, and which file goes into which slot
// with which description. Every refusal names the file and comes before
// anything is written.

#include <optional>
#include <string>
#include <vector>

#include "state/operation_ports.hpp"
#include "store/slot_batch.hpp"
#include "store/slot_files_export.hpp"
#include "store/store_in_use.hpp"

namespace quarnex {

// Whether an export may replace files of the same name already in the folder.
enum class ExistingFiles { Refuse, Replace };
// Whether exported files carry the slot's Disk ID in their names.
enum class ExportNames { Number, NumberAndId };

// The files slots go to in folder. Refused, naming the file, when an image
// file in folder is already numbered for one of them: one of the same name
// unless existing is Replace, one of another name always (import would find
// two files for the slot).
struct ExportPlan {
    std::vector<SlotFile> targets;
    std::optional<std::string> refusal;
};
ExportPlan PlanFolderExport(const SlotTable& records, const std::vector<int>& slots,
                            const std::string& folder, ExportNames names, ExistingFiles existing);

// The descriptions file's new text: what it held (when it could be read)
// with the lines of the slots written replaced by their descriptions now.
std::string MergedFolderDescriptions(const std::optional<std::string>& old,
                                     const SlotTable& records, const std::vector<int>& written);

// Which file of folder goes where: numbered files into their slots with
// their descriptions from the descriptions file, the others in name order
// into the free slots left.
struct ImportPlan {
    std::vector<ImagePlacement> placements;
    std::optional<std::string> refusal;  // said why nothing can be written
    bool failed = false;                 // a read of the store failed (reported)
    bool descriptionsFile = false;       // the folder has one
    int descriptionsRestored = 0;
    int linesSkipped = 0;  // lines of the descriptions file no file was put for
};
ImportPlan PlanFolderImport(OperationPorts& ports, StoreInUse store, const std::string& folder);

// folder + "/" + name.
std::string InFolder(const std::string& folder, const std::string& name);

}  // namespace quarnex
