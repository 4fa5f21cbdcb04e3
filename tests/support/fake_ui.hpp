#pragma once
// A Ui that records what operations show and answers their questions from
// queues the test fills.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "commands/error_report_text.hpp"
#include "commands/program_state.hpp"
#include "ports/ui.hpp"

namespace quarnex::testing {

class FakeUi final : public Ui {
  public:
    explicit FakeUi(const ProgramState& state) : state_(state) {}

    MessageAnswer ShowMessage(const MessageRequest& request) override;
    void ShowError(const ErrorRecord& error) override { ShowMessage(ErrorReportMessage(error)); }
    std::optional<std::string> AskOpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> AskSaveFile(const FileDialogRequest& request) override;
    int AskAdvisory() override;
    void Changed(WindowPart part) override;
    void PumpEvents() override;

    // Answers, taken in order; when a queue is empty: OK / Cancel / No for
    // messages, a cancelled dialog for files, Exit for the advisory question.
    std::deque<MessageAnswer> messageAnswers;
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<int> advisoryAnswers;
    // Runs on every PumpEvents: the test's way to click Cancel mid-operation.
    std::function<void(int pumpCount)> onPump;

    // What was shown.
    std::vector<MessageRequest> messages;
    std::vector<FileDialogRequest> fileDialogs;
    int advisoryQuestions = 0;
    int pumps = 0;
    // Every distinct text the labels showed, in order.
    std::vector<std::string> actionLabels;
    std::vector<std::string> bufferCaptions;
    std::vector<std::string> progressLabels;
    std::vector<WindowPart> changes;

    // Titles of the messages shown, for compact assertions.
    std::vector<std::string> MessageTitles() const;
    const MessageRequest& LastMessage() const { return messages.back(); }

  private:
    const ProgramState& state_;
};

}  // namespace quarnex::testing
