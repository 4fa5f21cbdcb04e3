#pragma once
// Writing the status strip of the main window: the model changes, then the
// window is told to show it.

#include <string>

#include "commands/context.hpp"

namespace quarnex {

// The internal image's caption with its background: opaque marks the internal
// image's content as unreliable.
void SetBufferLabel(Context& ctx, std::string caption, bool opaque, std::string path = {});
// Only the caption; the background stays as it is.
void SetBufferCaption(Context& ctx, std::string caption);
void SetBufferOpaque(Context& ctx, bool opaque);
// The internal image's files were changed after it was read or made: its
// caption says so in front, once, until a new caption is set.
void MarkImageChanged(Context& ctx);
inline constexpr const char* kChangedImagePrefix = "Changed: ";

// The action label keeps the path it shows shortened, so that a front end
// with the room for it can show the text in full: a label with its shortened path written out
// again; the label as it is when it does not end with ShortenPath(path) (it was set afresh since).
std::string InFull(const std::string& shown, const std::string& path);

// Caption that marks the internal image as unreliable after a failure.
inline constexpr const char* kUnreliableImageCaption = "... ? ...";

}  // namespace quarnex
