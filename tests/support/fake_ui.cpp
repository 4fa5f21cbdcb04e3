#include "support/fake_ui.hpp"

namespace quarnex::testing {

namespace {
void RecordIfNew(std::vector<std::string>& history, const std::string& text) {
    if (history.empty() || history.back() != text) {
        history.push_back(text);
    }
}

// The next queued answer, or the fallback when none is left.
template <typename T>
T Take(std::deque<T>& answers, T fallback) {
    if (!answers.empty()) {
        fallback = answers.front();
        answers.pop_front();
    }
    return fallback;
}
}  // namespace

MessageAnswer FakeUi::ShowMessage(const MessageRequest& request) {
    messages.push_back(request);
    return Take(messageAnswers, request.buttons == MessageButtons::YesNo ? MessageAnswer::No
                                : request.buttons == MessageButtons::Ok  ? MessageAnswer::Ok
                                                                         : MessageAnswer::Cancel);
}

std::optional<std::string> FakeUi::AskOpenFile(const FileDialogRequest& request) {
    fileDialogs.push_back(request);
    return Take(fileAnswers, std::optional<std::string>());
}

std::optional<std::string> FakeUi::AskSaveFile(const FileDialogRequest& request) {
    return AskOpenFile(request);
}

int FakeUi::AskAdvisory() {
    ++advisoryQuestions;
    return Take(advisoryAnswers, -1);
}

void FakeUi::Changed(WindowPart part) {
    changes.push_back(part);
    const StatusStrip& status = state_.status;
    switch (part) {
        case WindowPart::ActionLabel:
            RecordIfNew(actionLabels, status.actionLabel);
            break;
        case WindowPart::BufferLabel:
            RecordIfNew(bufferCaptions, status.bufferCaption);
            break;
        case WindowPart::ProgressLabel:
            RecordIfNew(progressLabels, status.progressLabel);
            break;
        default:
            break;
    }
}

void FakeUi::PumpEvents() {
    ++pumps;
    if (onPump) {
        onPump(pumps);
    }
}

std::vector<std::string> FakeUi::MessageTitles() const {
    std::vector<std::string> titles;
    for (const MessageRequest& m : messages) {
        titles.push_back(m.title);
    }
    return titles;
}

}  // namespace quarnex::testing
