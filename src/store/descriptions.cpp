#include "store/descriptions.hpp"

#include "store/descriptions_file.hpp"
#include "store/descriptions_format.hpp"
#include "store/store_paths.hpp"

namespace quarnex {

namespace {

constexpr const char* kStoreFileName = "DISKS.TXT";

// The outcome of a file that cannot be used: a numbered "FDISK" base, and
// whatever was read until then stays.
bool FallBackToDefaultBase(ProgramState& state) {
    state.slotTable.BaseId = "FDISK";
    state.slotTable.BaseIdPresent = true;
    state.slotTable.BaseIdNumbered = true;
    return false;
}

void ClearDescriptions(ProgramState& state) {
    for (int row = 1; row < kGridRows; ++row) {
        state.slotTable.SetCell(row, 2, "");
        state.slotTable.DiskDescriptions.at(static_cast<std::size_t>(row)).clear();
        state.slotTable.DiskSources.at(static_cast<std::size_t>(row)).clear();
    }
    state.slotTable.BaseId.clear();
    state.slotTable.BaseIdPresent = false;
    state.slotTable.BaseIdNumbered = false;
}

bool LoadOrCreate(Context& ctx, bool create) {
    ProgramState& state = ctx.state;
    const FileText file = ReadStoreFile(ctx, kStoreFileName);
    if (file.error) {
        return FallBackToDefaultBase(state);
    }
    if (file.present) {
        return ApplyDescriptions(state, file.text) || FallBackToDefaultBase(state);
    }
    DeriveBaseId(state);
    if (!create) {
        return true;
    }
    std::string text = DescriptionsHeader("Unknown");
    if (state.slotTable.BaseIdPresent) {
        text += BaseLine(state);
    }
    if (WriteStoreFile(ctx, kStoreFileName, text)) {
        return FallBackToDefaultBase(state);
    }
    return true;
}

bool Load(Context& ctx, bool create) {
    if (ctx.state.SelectedDevice == 0) {
        return false;
    }
    ClearDescriptions(ctx.state);
    const bool loaded = LoadOrCreate(ctx, create);
    ctx.ui.Changed(WindowPart::Grid);
    return loaded;
}

}  // namespace

bool LoadDescriptions(Context& ctx) {
    return Load(ctx, true);
}

bool ReadDescriptions(Context& ctx) {
    return Load(ctx, false);
}

bool sbrSaveDescriptions(Context& ctx, const std::string& name) {
    const std::string output = DescriptionsOutputName(name);
    const std::string text = ComposeDescriptions(ctx.state, name);
    std::optional<TrappedError> error;
    if (ctx.state.SelectedDevice != 0 && name == StoreDescriptionsName(ctx)) {
        error = WriteStoreFile(ctx, output.substr(output.rfind('/') + 1), text);
    } else {
        error = WritePlainFile(ctx, output, text);
    }
    if (error) {
        ErrorReport(ctx, *error, "QrnMsbrSaveDescriptions.");
        return false;
    }
    return true;
}

}  // namespace quarnex
