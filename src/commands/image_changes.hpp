#pragma once
// Files added or removed in the contents window live only in the internal
// image until it is exported: a command that would replace the image, or
// Exit, asks before they are lost. An image not changed there is replaced
// without a question, as always.

#include "commands/context.hpp"

namespace quarnex {

// What would replace the internal image (or end the program).
enum class ImageDiscard { Zero, Format, Import, Exit };

// True when nothing changed in the contents window waits to be exported, or
// when the user agrees to lose it; false keeps the image (the command then
// does nothing).
bool MayDiscardImageChanges(Context& ctx, ImageDiscard why);

}  // namespace quarnex
