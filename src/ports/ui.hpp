#pragma once
// The port through which operations talk to the user. The Qt main window, the
// terminal tool and the tests each implement it. Operations change the plain
// window model (see commands/window_model.hpp) and then tell the port which
// part changed; the port renders it.

#include <cstdint>
#include <optional>
#include <string>

#include "ports/messages.hpp"

namespace quarnex {

// What a file dialog accepts: any name in an existing folder, or only a
// file that exists.
enum class ChosenFile { AnyName, Existing };
// Whether a save dialog asks before an existing file is chosen.
enum class ReplacePrompt { None, Ask };
// A dialog that opens a file, or one that names a file to write.
enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
    std::string title;
    std::string fileName;
    std::string defaultExtension;
    std::string filter;  // "Text (*.x)|*.x|All Files (*.*)|*.*"
    int filterIndex = 1;
    ChosenFile chosen = ChosenFile::AnyName;
    ReplacePrompt replacePrompt = ReplacePrompt::None;

    bool operator==(const FileDialogRequest&) const = default;
};

// Parts of the main window that operations change.
enum class WindowPart {
    ActionLabel,    // what is being done
    BufferLabel,    // the internal image's caption and background
    ProgressLabel,  // the progress text
    ProgressBar,    // the progress bar
    Menus,          // any menu entry: caption, visibility, enabled
    FrameCaption,   // the grid frame's caption
    Grid,           // cells or row heights of many rows
    EditBox,        // the description editor's visibility or position
    Dialogs,        // text boxes of the ID dialogs
};

// The window or terminal as a whole: messages, and what only a window has.
class Ui : public Messages {
  public:
    // Empty when the user cancelled the dialog.
    virtual std::optional<std::string> AskOpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> AskSaveFile(const FileDialogRequest& request) = 0;
    // A part of the window model changed; render it now.
    virtual void Changed(WindowPart part) = 0;
    // Let pending window events run (this is how Cancel reaches a running
    // operation).
    virtual void PumpEvents() = 0;
};

}  // namespace quarnex
