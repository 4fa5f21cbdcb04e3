#pragma once
// The Ui port on a terminal: message boxes become lines on stderr under
// their titles, file dialogs are answered with the paths the command was
// given, questions are asked on a terminal and answered safely otherwise,
// and progress is a redrawn line on stderr when stderr is a terminal, drawn
// and ended from the operation's progress events.

#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "commands/error_report_text.hpp"
#include "commands/program_state.hpp"
#include "ports/interrupt_watch.hpp"
#include "ports/progress.hpp"
#include "ports/terminal.hpp"
#include "ports/ui.hpp"

namespace quarnex::cli {

// --yes answers every confirmation yes.
enum class Confirmations { Ask, AssumeYes };

struct ConsoleOptions {
    Confirmations confirmations = Confirmations::Ask;
    bool inputIsTerminal = false;  // questions can be asked
    bool errorIsTerminal = false;  // progress can be drawn
};

class ConsoleUi final : public Ui, public Progress {
  public:
    ConsoleUi(ProgramState& state, ConsoleOptions options, std::ostream& err,
              InterruptWatch& interrupts, Terminal& terminal);

    MessageAnswer ShowMessage(const MessageRequest& request) override;
    void ShowError(const ErrorRecord& error) override { ShowMessage(ErrorReportMessage(error)); }
    std::optional<std::string> AskOpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> AskSaveFile(const FileDialogRequest& request) override;
    int AskAdvisory() override;
    void Changed(WindowPart part) override;
    void PumpEvents() override;

    void Started() override;
    void Doing(const Activity& what) override;
    void UnitDone(long done, long total) override;
    void Finished() override;
    void Failed() override;
    void UnderWay() override { SetBusy(true); }
    void Over() override { SetBusy(false); }
    void Cancelled() override;
    bool CancelAsked() override { return state_.cancelRequested; }

    // The path the next file dialog is answered with; without one the
    // dialog counts as cancelled.
    void AnswerNextFileDialog(std::string path) { fileAnswer_ = std::move(path); }
    // How many bytes the running operation moves in all, for the speed.
    void SetTransferBytes(std::uint64_t bytes) { transferBytes_ = bytes; }

    // Asks before something is changed or overwritten. With --yes the
    // answer is yes; without a terminal to ask on, the command is refused;
    // after a Ctrl-C it is no.
    bool Confirm(const std::string& question);
    // True when --yes answers every question.
    bool AssumesYes() const { return options_.confirmations == Confirmations::AssumeYes; }
    // A line of the tool's own on stderr ("quarnex-cli: ...").
    void Note(const std::string& text);
    // True once Ctrl-C was pressed during this run.
    bool Interrupted() const { return interrupted_; }

  private:
    // True once Ctrl-C was pressed; says so the first time.
    bool SeenInterrupt();
    // Now draws at once; WhenDue only when the line last changed long enough ago.
    enum class Redraw { WhenDue, Now };
    void DrawProgress(Redraw redraw);
    void SetBusy(bool busy) {
        state_.cancelRequested = false;
        state_.busy = busy;
    }
    void EndProgressLine();

    ProgramState& state_;
    ConsoleOptions options_;
    std::ostream& err_;
    InterruptWatch& interrupts_;
    Terminal& terminal_;
    std::optional<std::string> fileAnswer_;
    std::uint64_t transferBytes_ = 0;
    bool lineOpen_ = false;
    bool interrupted_ = false;
    std::string action_;  // what the running operation is doing
    int percent_ = 0;
    int lastPercent_ = -1;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastDraw_{};
};

// Name the tool uses for its own lines.
inline constexpr const char* kToolName = "quarnex-cli";

}  // namespace quarnex::cli
