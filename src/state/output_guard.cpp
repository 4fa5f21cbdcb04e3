#include "state/output_guard.hpp"

#include "core/text.hpp"

namespace quarnex {

std::string OverlapWords(StoreOverlap overlap) {
    switch (overlap) {
        case StoreOverlap::None:
            break;
        case StoreOverlap::SameFile:
            return "is the store itself";
        case StoreOverlap::SameDevice:
            return "is the store's device under another name";
        case StoreOverlap::BackingFile:
            return "is the backing file of the store's loop device";
        case StoreOverlap::OnStore:
            return "lies in a file system on the store";
    }
    return {};
}

bool RefuseStoreOverlap(Context& ctx, const std::string& path, const std::string& storePath,
                        const std::string& title) {
    const StoreOverlap overlap = ctx.devices.Overlap(path, storePath);
    if (overlap == StoreOverlap::None) {
        return false;
    }
    ctx.ui.ShowMessage(MessageRequest{title,
                                      path + std::string(kCrLf) + "This file " +
                                          OverlapWords(overlap) + "." + std::string(kCrLf) +
                                          "Nothing was written.",
                                      MessageButtons::Ok, MessageIcon::Exclamation});
    return true;
}

}  // namespace quarnex
