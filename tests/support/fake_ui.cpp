#include "support/fake_ui.hpp"

namespace quarnex::testing {

namespace {
void RecordIfNew(std::vector<std::string>& history, const std::string& text) {
    if (history.empty() || history.back() != text) {
        history.push_back(text);
    }
}
}  // namespace

MessageAnswer FakeUi::ShowMessage(const MessageRequest& request) {
    messages.push_back(request);
    if (!messageAnswers.empty()) {
        const MessageAnswer answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }
    if (request.buttons == MessageButtons::YesNo) {
        return MessageAnswer::No;
    }
    return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

std::optional<std::string> FakeUi::AskOpenFile(const FileDialogRequest& request) {
    fileDialogs.push_back(request);
    if (fileAnswers.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<std::string> FakeUi::AskSaveFile(const FileDialogRequest& request) {
    return AskOpenFile(request);
}

int FakeUi::AskAdvisory() {
    ++advisoryQuestions;
    if (advisoryAnswers.empty()) {
        return -1;
    }
    const int answer = advisoryAnswers.front();
    advisoryAnswers.pop_front();
    return answer;
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
