#pragma once
// The status strip of the main window as plain data: the labels and the
// progress bar, written from the running operation's progress events.

#include <string>

namespace quarnex {

// Design back colour of the internal image's caption, shown when the label is opaque.
inline constexpr int kBufferLabelRed = 255;
inline constexpr int kBufferLabelGreen = 224;
inline constexpr int kBufferLabelBlue = 192;

struct StatusStrip {
    std::string actionLabel;                 // what is being done
    std::string actionLabelPath;             // the path it shows shortened, if any
    std::string bufferCaption = "Zeroed";    // the internal image's source
    std::string bufferCaptionPath;           // likewise
    bool bufferOpaque = false;               // marks the internal image as unreliable
    bool imageChanged = false;               // edited since its caption was set
    std::string progressLabel = "Progress";  // the progress text
    int progressBar = 0;                     // the progress bar, 0..100
};

}  // namespace quarnex
