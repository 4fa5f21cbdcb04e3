#include "state/status.hpp"

#include <utility>

namespace quarnex {

void SetActionLabel(Context& ctx, std::string text) {
    ctx.state.status.actionLabel = std::move(text);
    ctx.ui.Changed(WindowPart::ActionLabel);
}

void SetBufferLabel(Context& ctx, std::string caption, bool opaque) {
    ctx.state.status.bufferCaption = std::move(caption);
    ctx.state.status.bufferOpaque = opaque;
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

}  // namespace quarnex
