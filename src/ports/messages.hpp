#pragma once
// The one way operations talk to the user: a message box or the terminal's
// equivalent, the error report of a failure, and the one question start-up
// may have to ask.

#include <string>

#include "core/result.hpp"

namespace quarnex {

enum class MessageButtons { Ok, RetryCancel, OkCancel, YesNo };
enum class MessageIcon { None, Exclamation, Critical };
enum class MessageAnswer { Ok, Retry, Cancel, Yes, No };

struct MessageRequest {
    std::string title;
    std::string text;  // line breaks as given by the caller (CR LF or LF)
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
};

class Messages {
  public:
    virtual ~Messages() = default;
    Messages() = default;
    Messages(const Messages&) = delete;
    Messages& operator=(const Messages&) = delete;

    virtual MessageAnswer ShowMessage(const MessageRequest& request) = 0;
    // The "Error" message box for a failure; its text is made by the front end.
    virtual void ShowError(const ErrorRecord& error) = 0;
    // The advisory question of start-up when raw devices cannot be opened:
    // 0 = continue with limited functionality, -1 = exit.
    virtual int AskAdvisory() = 0;
};

}  // namespace quarnex
