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

void ClearDescriptions(ProgramState& state) {
    for (int slot = 1; slot < kSlotCount; ++slot) {
        state.slotTable.SetDescription(slot, "");
        state.slotTable.SetSource(slot, "");
    }
    state.slotTable.baseId.clear();
    state.slotTable.baseIdPresent = false;
    state.slotTable.baseIdNumbered = false;
    state.slotTable.descriptionsFile = DescriptionsFileState{};
}

// A file that cannot be used at all: the base is derived from the IDs, as
// for a missing file, rather than invented.
bool Unreadable(ProgramState& state, std::string problem) {
    state.slotTable.descriptionsFile.problems.push_back(std::move(problem));
    DeriveBaseId(state);
    return false;
}

// Reads the file's text in whatever encoding it came; what cannot be read
// is noted.
bool ApplyFileText(ProgramState& state, const std::string& bytes) {
    DescriptionsFileState& file = state.slotTable.descriptionsFile;
    const DecodedText decoded = DecodeText(bytes);
    file.encoding = decoded.encoding;
    if (decoded.text.find('\0') != std::string::npos) {
        return Unreadable(state, "DISKS.TXT is not a text file: it holds NUL bytes.");
    }
    if (decoded.invalid > 0) {
        const bool utf16 =
            decoded.encoding == TextEncoding::Utf16Le || decoded.encoding == TextEncoding::Utf16Be;
        file.problems.push_back("DISKS.TXT holds " + std::to_string(decoded.invalid) +
                                " characters that are not valid " + (utf16 ? "UTF-16." : "UTF-8."));
    }
    const std::vector<SkippedLine> skipped = ApplyDescriptions(state, decoded.text);
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

bool LoadOrCreate(Context& ctx, bool create) {
    ProgramState& state = ctx.state;
    const FileText file = ReadStoreFile(ctx, kStoreFileName);
    if (file.error) {
        state.slotTable.descriptionsFile.folder = file.folder;
        return Unreadable(
            state, file.folder ? "DISKS.TXT is a folder, not a file."
                               : "DISKS.TXT could not be read: " + ErrorWords(ctx, *file.error));
    }
    if (file.present) {
        return ApplyFileText(state, file.text);
    }
    DeriveBaseId(state);
    if (!create) {
        return true;
    }
    std::string text = DescriptionsHeader("Unknown");
    if (state.slotTable.baseIdPresent) {
        text += BaseLine(state);
    }
    // Nothing was there to lose: a file that cannot be created is only
    // missing, and the next save tries again.
    return WriteStoreFile(ctx, kStoreFileName, EncodeText(text, TextEncoding::Windows1252)).Ok();
}

bool Load(Context& ctx, bool create) {
    if (ctx.state.selectedDevice == 0) {
        return false;
    }
    ClearDescriptions(ctx.state);
    const bool loaded = LoadOrCreate(ctx, create);
    return loaded;
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
std::string StoreFileNotSaved(Context& ctx, const ErrorRecord& error) {
    const std::string& store = ctx.state.SelectedEntry().path;
    std::string text = "DISKS.TXT of " + store + " was not saved";
    for (const int refusal : {EACCES, EPERM, EROFS}) {
        if (error.systemError == refusal) {
            return text + ": run with the rights to write " + store + " (as its owner or root)";
        }
    }
    return text + ".";
}

}  // namespace

bool LoadDescriptions(Context& ctx) {
    return Load(ctx, true);
}

bool ReadDescriptions(Context& ctx) {
    return Load(ctx, false);
}

bool SaveDescriptions(Context& ctx, const std::string& name) {
    DescriptionsFileState& file = ctx.state.slotTable.descriptionsFile;
    const std::string output = DescriptionsOutputName(name);
    const std::string text = EncodeText(ComposeDescriptions(ctx.state, name), file.encoding);
    const bool storeFile = ctx.state.selectedDevice != 0 && name == StoreDescriptionsName(ctx);
    Status saved;
    if (storeFile) {
        file.saveFailed = true;
        if (const std::string refusal = SaveRefusal(file); !refusal.empty()) {
            ctx.ui.ShowMessage(MessageRequest{"Disk Descriptions", refusal, MessageButtons::Ok,
                                              MessageIcon::Exclamation});
            return false;
        }
        // Its own name, in upper case: a name from the output's would carry
        // the lower-case "txt" of companion files into the entry's case flags.
        saved = WriteStoreFile(ctx, kStoreFileName, text);
    } else {
        saved = WritePlainFile(ctx, output, text);
    }
    if (!saved) {
        ErrorRecord error = CaughtBy(saved.Error(), "QrnMsbrSaveDescriptions.");
        if (storeFile) {
            error.doing = StoreFileNotSaved(ctx, error);
        }
        ErrorReport(ctx, std::move(error));
        return false;
    }
    if (storeFile) {
        file.problems.clear();  // the file now holds what the table holds
        file.saveFailed = false;
    }
    return true;
}

}  // namespace quarnex
