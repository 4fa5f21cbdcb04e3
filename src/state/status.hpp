#pragma once
// Writing the status strip of the main window: the model changes, then the
// window is told to show it.

#include <string>

#include "state/context.hpp"

namespace quarnex {

void SetActionLabel(Context& ctx, std::string text);
// Caption of QrnBufrLbl with its background: opaque marks the internal
// image's content as unreliable.
void SetBufferLabel(Context& ctx, std::string caption, bool opaque);
// Only the caption; the background stays as it is.
void SetBufferCaption(Context& ctx, std::string caption);
void SetBufferOpaque(Context& ctx, bool opaque);

// Caption that marks the internal image as unreliable after a failure.
inline constexpr const char* kUnreliableImageCaption = "... ? ...";

}  // namespace quarnex
