#include "store/descriptions.hpp"

#include <cerrno>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "core/text_encoding.hpp"
#include "state/error_report.hpp"
#include "store/descriptions_file.hpp"
#include "store/descriptions_format.hpp"
#include "store/descriptions_merge.hpp"
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
        const bool whole = ApplyFileText(table, file.text);
        RememberStored(table, file.text);
        return whole;
    }
    DeriveBaseId(table);
    RememberStored(table, std::nullopt);
    if (missing == MissingFile::Leave) {
        return true;
    }
    std::string text = DescriptionsHeader("Unknown");
    if (table.baseIdPresent) {
        text += BaseLine(table);
    }
    // Nothing was there to lose: a file that cannot be created is only
    // missing, and the next save tries again.
    const std::string bytes = EncodeText(text, TextEncoding::Windows1252);
    if (!WriteStoreFile(ports, store.device, kStoreFileName, bytes)) {
        return false;
    }
    table.descriptionsFile.stored.bytes = bytes;
    return true;
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

// Asks which texts of a slot changed in both places to keep.
bool AskKeepOwnTexts(OperationPorts& ports, int slot, const SlotTexts& here,
                     const SlotTexts& onStore) {
    const std::string crLf(kCrLf);
    const auto shown = [](const SlotTexts& texts) {
        return texts.description.empty() ? std::string("(no description)") : texts.description;
    };
    const std::string text = "The description of slot " + ThreeDigits(slot) +
                             " was changed by another program since it was loaded." + crLf + crLf +
                             "On the store:" + crLf + shown(onStore) + crLf + crLf +
                             "Here:" + crLf + shown(here) + crLf + crLf +
                             "Keep the description here? No keeps the one on the store.";
    return ports.messages.ShowMessage(MessageRequest{
               "Disk Descriptions", text, MessageButtons::YesNo, MessageIcon::Exclamation}) ==
           MessageAnswer::Yes;
}

enum class StoreChanges { Taken, Refused, Failed };

// Reads the store's file again and takes in what another program changed in
// it since the records last agreed with it. Refused when it became a folder
// or can no longer be read in full and replacing it was not confirmed (what
// a save refuses on is then in file's state); Failed when it could not be
// read (already reported).
StoreChanges TakeStoreChanges(OperationPorts& ports, StoreInUse store) {
    DescriptionsFileState& file = store.records.descriptionsFile;
    const FileText now = ReadStoreFile(ports, store.device, kStoreFileName);
    if (now.folder) {
        file.folder = true;
        return StoreChanges::Refused;
    }
    if (now.error) {
        ReportNotSaved(ports, Failure{*now.error}, &store.device);
        return StoreChanges::Failed;
    }
    if (!now.present || now.text == file.stored.bytes) {
        return StoreChanges::Taken;  // nobody else wrote it, or removed it with nothing to keep
    }
    SlotTable onStore;
    if (!ApplyFileText(onStore, now.text) && !file.replaceConfirmed) {
        file.problems = onStore.descriptionsFile.problems;
        return StoreChanges::Refused;
    }
    MergeStoredChanges(store.records, onStore,
                       [&](int slot, const SlotTexts& here, const SlotTexts& there) {
                           return AskKeepOwnTexts(ports, slot, here, there);
                       });
    return StoreChanges::Taken;
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
    file.saveFailed = true;
    const StoreChanges changes =
        SaveRefusal(file).empty() ? TakeStoreChanges(ports, store) : StoreChanges::Refused;
    if (changes == StoreChanges::Failed) {
        return false;
    }
    if (const std::string refusal = SaveRefusal(file); !refusal.empty()) {
        ports.messages.ShowMessage(MessageRequest{"Disk Descriptions", refusal, MessageButtons::Ok,
                                                  MessageIcon::Exclamation});
        return false;
    }
    const std::string text = EncodeText(
        ComposeDescriptions(store.records, StoreDescriptionsName(store.device)), file.encoding);
    // Its own name, in upper case: a name from the output's would carry the
    // lower-case "txt" of companion files into the entry's case flags.
    if (!ReportNotSaved(ports, WriteStoreFile(ports, store.device, kStoreFileName, text),
                        &store.device)) {
        return false;
    }
    file.problems.clear();  // the file now holds what the table holds
    file.saveFailed = false;
    RememberStored(store.records, text);
    return true;
}

bool DescriptionsChangedElsewhere(OperationPorts& ports, StoreInUse store) {
    const StoredDescriptions& stored = store.records.descriptionsFile.stored;
    if (stored.texts.empty()) {
        return false;  // never loaded: nothing to compare with
    }
    const FileText now = ReadStoreFile(ports, store.device, kStoreFileName);
    if (now.error) {
        return false;
    }
    return now.present ? now.text != stored.bytes : stored.bytes.has_value();
}

bool SaveDescriptionsCopy(OperationPorts& ports, const SlotTable& records,
                          const std::string& name) {
    const std::string text =
        EncodeText(ComposeDescriptions(records, name), records.descriptionsFile.encoding);
    return ReportNotSaved(ports, WritePlainFile(ports, DescriptionsOutputName(name), text),
                          nullptr);
}

}  // namespace quarnex
