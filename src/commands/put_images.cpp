#include "commands/put_images.hpp"

#include "core/media_sizes.hpp"
#include "core/text.hpp"

namespace quarnex {

std::string ImageFileProblemText(const ImageFileProblem& problem, const std::string& systemText) {
    const std::string nothing = "; nothing was written";
    switch (problem.fault) {
        case ImageFileFault::NotAFile:
            return problem.path + " is not a regular file" + nothing;
        case ImageFileFault::WrongLength:
            return problem.path + " is not a 1.44 MB floppy image file: it holds " +
                   FormatThousands(static_cast<std::int64_t>(problem.length)) + " bytes, not " +
                   FormatThousands(static_cast<std::int64_t>(kImageBytes)) + nothing;
        case ImageFileFault::Unreadable:
            break;
    }
    return "cannot read " + problem.path + (systemText.empty() ? "" : ": " + systemText) + nothing;
}

std::string PastLastSlotText(int first, std::size_t count) {
    return std::to_string(count) + " files from slot " + ThreeDigits(first) +
           " on would reach past slot 999; refused, nothing was written";
}

std::string SlotListText(const std::vector<int>& slots) {
    if (slots.empty()) {
        return "";
    }
    if (slots.size() > 1 && slots.back() - slots.front() + 1 == static_cast<int>(slots.size())) {
        return "slots " + ThreeDigits(slots.front()) + ".." + ThreeDigits(slots.back());
    }
    std::string text;
    for (const int slot : slots) {
        text += (text.empty() ? "" : ", ") + ThreeDigits(slot);
    }
    return (slots.size() == 1 ? "slot " : "slots ") + text;
}

std::vector<ImagePlacement> PlaceImages(const std::vector<std::string>& files,
                                        const std::vector<int>& slots) {
    std::vector<ImagePlacement> placements;
    for (std::size_t i = 0; i < files.size() && i < slots.size(); ++i) {
        placements.push_back({files[i], slots[i]});
    }
    return placements;
}

}  // namespace quarnex
