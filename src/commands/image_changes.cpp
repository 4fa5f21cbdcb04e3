#include "commands/image_changes.hpp"

#include <string>

#include "core/text.hpp"

namespace quarnex {

bool MayDiscardImageChanges(Context& ctx, ImageDiscard why) {
    if (!ctx.state.imageChangesUnexported) {
        return true;
    }
    const char* const question =
        why == ImageDiscard::Zero     ? "Zero the internal image and lose them?"
        : why == ImageDiscard::Format ? "Format the internal image and lose them?"
        : why == ImageDiscard::Import ? "Import over the internal image and lose them?"
                                      : "Exit and lose them?";
    const std::string text =
        "Files were added to or removed from the internal image in its contents window, and "
        "the image has not been exported since: those changes exist nowhere else." +
        std::string(kCrLf) + question;
    return ctx.ui.ShowMessage(MessageRequest{"Internal Image Changed", text, MessageButtons::YesNo,
                                             MessageIcon::Exclamation}) == MessageAnswer::Yes;
}

}  // namespace quarnex
