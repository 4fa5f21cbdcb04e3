#include "store/descriptions.hpp"

#include <cerrno>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "core/text_encoding.hpp"
#include "state/error_report.hpp"
#include "store/descriptions_file.hpp"
#include "store/descriptions_format.hpp"
#include "store/store_paths.hpp"

namespace quarnex {

namespace {

constexpr const char* kStoreFileName = "DISKS.TXT";
// Lines that cannot be placed are named one by one up to this many.
constexpr std::size_t kNamedLines = 10;

void ClearDescriptions(SlotTable& table) {
    for (int slot = 1; slot < kSlotCount; ++slot) {
        table.SetDescription(slot, "");
        table.SetSource(slot, "");
    }
    table.baseId.clear();
    table.baseIdPresent = false;
    table.baseIdNumbered = false;
    table.descriptionsFile = DescriptionsFileState{};
}

// A file that cannot be used at all: the base is derived from the IDs, as
// for a missing file, rather than invented.
bool Unreadable(SlotTable& table, std::string problem) {
    table.descriptionsFile.problems.push_back(std::move(problem));
    DeriveBaseId(table);
    return false;
}

// Reads the file's text in whatever encoding it came; what cannot be read
// is noted.
bool ApplyFileText(SlotTable& table, const std::string& bytes) {
    DescriptionsFileState& file = table.descriptionsFile;
    const DecodedText decoded = DecodeText(bytes);
    file.encoding = decoded.encoding;
    if (decoded.text.find('\0') != std::string::npos) {
        return Unreadable(table, "DISKS.TXT is not a text file: it holds NUL bytes.");
    }
    if (decoded.invalid > 0) {
        const bool utf16 =
            decoded.encoding == TextEncoding::Utf16Le || decoded.encoding == TextEncoding::Utf16Be;
        file.problems.push_back("DISKS.TXT holds " + std::to_string(decoded.invalid) +
                                " characters that are not valid " + (utf16 ? "UTF-16." : "UTF-8."));
    }
    const std::vector<SkippedLine> skipped = ApplyDescriptions(table, decoded.text);
    for (std::size_t i = 0; i < skipped.size() && i < kNamedLines; ++i) {
        file.problems.push_back("Line " + std::to_string(skipped[i].number) +
                                " cannot be placed: " + skipped[i].text);
    }
    if (skipped.size() > kNamedLines) {
        file.problems.push_back(std::to_string(skipped.size() - kNamedLines) +
                                " more lines cannot be placed.");
    }
    // Repeated records are settled by the reader, but not silently.
    const std::vector<std::string> repeated = RepeatedRecords(decoded.text);
    file.problems.insert(file.problems.end(), repeated.begin(), repeated.end());
    return file.problems.empty();
}

// Whether loading creates a store's missing descriptions file.
enum class MissingFile { Create, Leave };

bool LoadOrCreate(OperationPorts& ports, StoreInUse store, MissingFile missing) {
    SlotTable& table = store.records;
    ClearDescriptions(table);
    const FileText file = ReadStoreFile(ports, store.device, kStoreFileName);
    if (file.error) {
        table.descriptionsFile.folder = file.folder;
        return Unreadable(
            table, file.folder ? "DISKS.TXT is a folder, not a file."
                               : "DISKS.TXT could not be read: " + ErrorWords(ports, *file.error));
    }
    if (file.present) {
        return ApplyFileText(table, file.text);
    }
    DeriveBaseId(table);
    if (missing == MissingFile::Leave) {
        return true;
    }
    std::string text = DescriptionsHeader("Unknown");
    if (table.baseIdPresent) {
        text += BaseLine(table);
    }
    // Nothing was there to lose: a file that cannot be created is only
    // missing, and the next save tries again.
    return WriteStoreFile(ports, store.device, kStoreFileName,
                          EncodeText(text, TextEncoding::Windows1252))
        .Ok();
}

// Why the store's own file must not be written now, or empty.
std::string SaveRefusal(const DescriptionsFileState& file) {
    if (file.folder) {
        return "DISKS.TXT is a folder in slot 0, so the descriptions were not saved.";
    }
    if (!file.problems.empty() && !file.replaceConfirmed) {
        return "DISKS.TXT could not be read in full and was left unchanged.";
    }
    return {};
}

// Which file was not saved, and what to do when the system refused it.
std::string StoreFileNotSaved(const DeviceEntry& device, const ErrorRecord& error) {
    const std::string& store = device.path;
    std::string text = "DISKS.TXT of " + store + " was not saved";
    for (const int refusal : {EACCES, EPERM, EROFS}) {
        if (error.systemError == refusal) {
            return text + ": run with the rights to write " + store + " (as its owner or root)";
        }
    }
    return text + ".";
}

bool ReportNotSaved(OperationPorts& ports, const Status& saved, const DeviceEntry* store) {
    if (saved) {
        return true;
    }
    ErrorRecord error = CaughtBy(saved.Error(), "QrnMsbrSaveDescriptions.");
    if (store != nullptr) {
        error.doing = StoreFileNotSaved(*store, error);
    }
    ErrorReport(ports, std::move(error));
    return false;
}

}  // namespace

bool LoadDescriptions(OperationPorts& ports, StoreInUse store) {
    return LoadOrCreate(ports, store, MissingFile::Create);
}

bool ReadDescriptions(OperationPorts& ports, StoreInUse store) {
    return LoadOrCreate(ports, store, MissingFile::Leave);
}

bool SaveDescriptions(OperationPorts& ports, StoreInUse store) {
    DescriptionsFileState& file = store.records.descriptionsFile;
    const std::string text = EncodeText(
        ComposeDescriptions(store.records, StoreDescriptionsName(store.device)), file.encoding);
    file.saveFailed = true;
    if (const std::string refusal = SaveRefusal(file); !refusal.empty()) {
        ports.messages.ShowMessage(MessageRequest{"Disk Descriptions", refusal, MessageButtons::Ok,
                                                  MessageIcon::Exclamation});
        return false;
    }
    // Its own name, in upper case: a name from the output's would carry the
    // lower-case "txt" of companion files into the entry's case flags.
    if (!ReportNotSaved(ports, WriteStoreFile(ports, store.device, kStoreFileName, text),
                        &store.device)) {
        return false;
    }
    file.problems.clear();  // the file now holds what the table holds
    file.saveFailed = false;
    return true;
}

bool SaveDescriptionsCopy(OperationPorts& ports, const SlotTable& records,
                          const std::string& name) {
    const std::string text =
        EncodeText(ComposeDescriptions(records, name), records.descriptionsFile.encoding);
    return ReportNotSaved(ports, WritePlainFile(ports, DescriptionsOutputName(name), text),
                          nullptr);
}

}  // namespace quarnex
