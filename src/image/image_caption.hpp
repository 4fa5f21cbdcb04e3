#pragma once
// The internal image's caption while an operation on the image runs: where
// the user must see it change before the operation ends (a drive's block, a
// message about a failure). The window's status strip stands behind it; the
// caption the image ends with is its caller's to set from the outcome.

#include <string>

namespace quarnex {

class ImageCaption {
  public:
    virtual ~ImageCaption() = default;
    ImageCaption() = default;
    ImageCaption(const ImageCaption&) = delete;
    ImageCaption& operator=(const ImageCaption&) = delete;

    // The caption alone, its background as it is: "Reading Track 5".
    virtual void Show(const std::string& caption) = 0;
    // New content is arriving: "..." on a clear background.
    virtual void Arriving() = 0;
    // The content can no longer be trusted: the unreliable caption, opaque.
    virtual void Unreliable() = 0;
};

}  // namespace quarnex
