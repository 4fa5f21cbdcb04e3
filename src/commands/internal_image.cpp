// The internal image's operations as the window and the terminal tool run
// them: the file is asked for when none is named, the program's image and its
// record are handed over, and the status strip's caption and the image's
// source kind follow from the outcome.

#include <optional>
#include <string>
#include <utility>

#include "commands/image_changes.hpp"
#include "commands/main_commands.hpp"
#include "commands/status.hpp"
#include "core/text.hpp"
#include "fat12/volume_label.hpp"
#include "image/image_export.hpp"
#include "image/image_format.hpp"
#include "image/image_import.hpp"
#include "image/image_label.hpp"
#include "image/image_target.hpp"

namespace quarnex {

namespace {

// The status strip's caption as an operation changes it while it runs.
class StatusStripCaption final : public ImageCaption {
  public:
    explicit StatusStripCaption(Context& ctx) : ctx_(ctx) {}

    void Show(const std::string& caption) override { SetBufferCaption(ctx_, caption); }
    void Arriving() override { SetBufferLabel(ctx_, "...", false); }
    void Unreliable() override { SetBufferLabel(ctx_, kUnreliableImageCaption, true); }

  private:
    Context& ctx_;
};

// An exported file must not overlap the selected store, if there is one.
std::string SelectedStorePath(const ProgramState& state) {
    return state.selectedDevice != 0 ? state.SelectedEntry().path : std::string();
}

}  // namespace

ImageResult ImportImageFrom(Context& ctx, ImageTransferRequest request) {
    if (!MayDiscardImageChanges(ctx, ImageDiscard::Import)) {
        return ImageResult{};
    }
    if (!request.drive && !request.file) {
        // The strip is cleared as the import starts, before the dialog.
        ctx.progress.Started();
        request.file =
            AskTransferFile(ctx, FileDialogKind::Open,
                            FileDialogRequest{"Import Floppy Image", "", "img", kImageFileFilter, 1,
                                              ChosenFile::Existing});
        if (!request.file) {
            return ImageResult{};
        }
    }
    ProgramState& state = ctx.state;
    StatusStripCaption caption(ctx);
    const ImageResult result = ImportFloppyImage(ctx, request, state.imageBuffer.Span(),
                                                 state.slotTable.internalImage, caption);
    if (result.outcome == Outcome::Complete) {
        const std::string& source = state.slotTable.internalImage.source;
        if (request.drive) {
            SetBufferLabel(ctx, source, false);
            state.imageSource = *request.drive == FloppyDrive::A ? SourceFloppyA : SourceFloppyB;
        } else {
            SetBufferLabel(ctx, ShortenPath(source), false, source);
            state.imageSource = SourceImageFile;
        }
    } else if (result.outcome == Outcome::Incomplete) {
        SetBufferLabel(ctx, kUnreliableImageCaption, true);
    }
    return result;
}

ImageResult ExportImageTo(Context& ctx, ImageTransferRequest request) {
    if (!request.drive && !request.file) {
        request.file =
            AskTransferFile(ctx, FileDialogKind::Save,
                            FileDialogRequest{"Export Floppy Image", "", "img", kImageFileFilter, 1,
                                              ChosenFile::AnyName, ReplacePrompt::Ask});
        if (!request.file) {
            return ImageResult{};
        }
    }
    ProgramState& state = ctx.state;
    const std::string savedCaption = state.status.bufferCaption;
    StatusStripCaption caption(ctx);
    const ImageResult result =
        ExportFloppyImage(ctx, request, std::as_const(state.imageBuffer).Span(),
                          state.slotTable.internalImage, SelectedStorePath(state), caption);
    if (result.outcome != Outcome::NotStarted) {
        // A drive's blocks were shown on the caption; it names the image again.
        SetBufferCaption(ctx, savedCaption);
    }
    if (result.outcome == Outcome::Complete) {
        state.imageChangesUnexported = false;
    }
    return result;
}

Outcome FormatImageWithId(Context& ctx, const std::string& id) {
    ProgramState& state = ctx.state;
    StatusStripCaption caption(ctx);
    const Outcome outcome =
        FormatInternalImage(ctx, state.imageBuffer.Span(), state.slotTable.internalImage,
                            state.appFolder + kFat12TemplatePath, id, caption);
    if (outcome == Outcome::Complete) {
        const std::string label = fat12::VolumeIdText(id);
        const bool blank = label == std::string(fat12::kLabelBytes, ' ');
        SetBufferLabel(ctx, "FAT12 / ID = [" + (blank ? std::string(kNoLabelText) : label) + "]",
                       false);
    } else if (outcome == Outcome::Incomplete) {
        SetBufferLabel(ctx, kUnreliableImageCaption, true);
    }
    if (outcome != Outcome::NotStarted) {
        state.imageSource = SourceFormatted;
    }
    return outcome;
}

void FormatImageFromDialog(WindowContext& ctx) {
    if (!MayDiscardImageChanges(ctx, ImageDiscard::Format)) {
        return;  // the dialog keeps what was typed
    }
    // The text box keeps the first 11 characters of what was typed, in
    // capitals, and the image is formatted with them.
    std::string& text = ctx.window.dialogs.floppyIdText;
    text = ToUpperLabel(FirstCharacters(text, fat12::kLabelBytes));
    ctx.ui.Changed(WindowPart::Dialogs);
    FormatImageWithId(ctx, text);
}

void ZeroImage(Context& ctx) {
    if (!MayDiscardImageChanges(ctx, ImageDiscard::Zero)) {
        return;
    }
    ZeroInternalImage(ctx, ctx.state.imageBuffer.Span(), ctx.state.slotTable.internalImage);
    SetBufferLabel(ctx, "Zeroed", false);
    ctx.state.imageSource = SourceZeroed;
}

}  // namespace quarnex
