#pragma once
// A file named when the program starts (from a file manager or a shell):
// a whole-store image file opens as the selected store, as File, Open Store
// Image File does; a floppy image file fills the internal image, as Import
// From, Image File does. Anything else is refused by the store path, with its
// texts.

#include <string>

#include "commands/window_context.hpp"

namespace quarnex {

void OpenGivenFile(WindowContext& ctx, const std::string& path);

}  // namespace quarnex
