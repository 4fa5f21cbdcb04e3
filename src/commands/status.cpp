#include "commands/status.hpp"

#include <utility>

#include "core/text.hpp"

namespace quarnex {

void SetBufferLabel(Context& ctx, std::string caption, bool opaque, std::string path) {
    ctx.state.status.bufferCaption = std::move(caption);
    ctx.state.status.bufferCaptionPath = std::move(path);
    ctx.state.status.bufferOpaque = opaque;
    ctx.state.status.imageChanged = false;
    ctx.state.imageChangesUnexported = false;  // a new caption is a new image
    ctx.ui.Changed(WindowPart::BufferLabel);
}

void SetBufferCaption(Context& ctx, std::string caption) {
    ctx.state.status.bufferCaption = std::move(caption);
    ctx.ui.Changed(WindowPart::BufferLabel);
}

void SetBufferOpaque(Context& ctx, bool opaque) {
    ctx.state.status.bufferOpaque = opaque;
    ctx.ui.Changed(WindowPart::BufferLabel);
}

void MarkImageChanged(Context& ctx) {
    ctx.state.imageChangesUnexported = true;
    StatusStrip& status = ctx.state.status;
    if (!status.imageChanged) {
        status.imageChanged = true;
        status.bufferCaption = kChangedImagePrefix + status.bufferCaption;
        ctx.ui.Changed(WindowPart::BufferLabel);
    }
}

std::string InFull(const std::string& shown, const std::string& path) {
    const std::string shortened = ShortenPath(path);
    if (path.empty() || shown.size() < shortened.size() ||
        shown.compare(shown.size() - shortened.size(), shortened.size(), shortened) != 0) {
        return shown;
    }
    return shown.substr(0, shown.size() - shortened.size()) + path;
}

}  // namespace quarnex
