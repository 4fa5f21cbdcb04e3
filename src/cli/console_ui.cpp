#include "cli/console_ui.hpp"

#include "cli/progress_line.hpp"
#include "commands/activity_text.hpp"

namespace quarnex::cli {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

// The message's lines, whatever line ends the caller used.
void WriteIndentedLines(std::ostream& out, std::string_view text) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            out << "  " << line << '\n';
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        out << "  " << line << '\n';
    }
}

bool IsYes(const std::string& answer) {
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

}  // namespace

ConsoleUi::ConsoleUi(ProgramState& state, ConsoleOptions options, std::ostream& err,
                     InterruptWatch& interrupts, Terminal& terminal)
    : state_(state), options_(options), err_(err), interrupts_(interrupts), terminal_(terminal) {}

MessageAnswer ConsoleUi::ShowMessage(const MessageRequest& request) {
    EndProgressLine();
    err_ << kToolName << ": " << request.title << '\n';
    WriteIndentedLines(err_, request.text);
    if (request.buttons == MessageButtons::Ok) {
        err_.flush();
        return MessageAnswer::Ok;
    }
    const bool yesNo = request.buttons == MessageButtons::YesNo;
    if (!options_.inputIsTerminal) {
        err_ << (yesNo ? "  (answered No: standard input is not a terminal)\n"
                       : "  (answered Cancel: standard input is not a terminal)\n");
        err_.flush();
        return yesNo ? MessageAnswer::No : MessageAnswer::Cancel;
    }
    if (yesNo) {
        err_ << "  [Y]es or [N]o? ";
        err_.flush();
        const std::optional<std::string> answer = terminal_.ReadAnswerLine();
        const bool yes = answer && !answer->empty() && (answer->at(0) | 0x20) == 'y';
        return yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    const bool retry = request.buttons == MessageButtons::RetryCancel;
    err_ << (retry ? "  [R]etry or [C]ancel? " : "  [O]K or [C]ancel? ");
    err_.flush();
    const std::optional<std::string> answer = terminal_.ReadAnswerLine();
    const char first = answer && !answer->empty() ? static_cast<char>(answer->at(0) | 0x20) : 0;
    if (first != (retry ? 'r' : 'o')) {
        return MessageAnswer::Cancel;
    }
    return retry ? MessageAnswer::Retry : MessageAnswer::Ok;
}

std::optional<std::string> ConsoleUi::AskOpenFile(const FileDialogRequest& /*request*/) {
    std::optional<std::string> answer = std::move(fileAnswer_);
    fileAnswer_.reset();
    return answer;
}

std::optional<std::string> ConsoleUi::AskSaveFile(const FileDialogRequest& request) {
    return AskOpenFile(request);
}

int ConsoleUi::AskAdvisory() {
    // The terminal tool needs no start-up probe: opening the device proves
    // the rights or reports why not. Continue.
    return 0;
}

void ConsoleUi::Changed(WindowPart /*part*/) {
    // The terminal has no window; progress arrives as events.
}

void ConsoleUi::Started() {
    // A new operation starts timing here.
    EndProgressLine();
    action_.clear();
    percent_ = 0;
    started_ = std::chrono::steady_clock::now();
    lastPercent_ = -1;
}

void ConsoleUi::Doing(const Activity& what) {
    action_ = ActivityText(what);
}

void ConsoleUi::UnitDone(long done, long total) {
    percent_ = ProgressPercent(done, total);
    if (percent_ >= kFinishedPercent) {
        DrawProgress(Redraw::Now);
        EndProgressLine();
    } else {
        DrawProgress(Redraw::WhenDue);
    }
    PumpEvents();
}

void ConsoleUi::Finished() {
    UnitDone(1, 1);
}

void ConsoleUi::Failed() {
    DrawProgress(Redraw::Now);
    EndProgressLine();
}

void ConsoleUi::Cancelled() {
    EndProgressLine();
}

void ConsoleUi::PumpEvents() {
    // Also a Ctrl-C seen before the running operation started (entering the
    // busy state cleared the request) stops it.
    if (SeenInterrupt()) {
        state_.cancelRequested = true;
    }
}

bool ConsoleUi::SeenInterrupt() {
    if (!interrupted_ && interrupts_.Poll()) {
        interrupted_ = true;
        EndProgressLine();
        err_ << kToolName << ": cancelling (press Ctrl-C again to end at once)\n";
        err_.flush();
        interrupts_.Release();
    }
    return interrupted_;
}

bool ConsoleUi::Confirm(const std::string& question) {
    if (SeenInterrupt()) {
        return false;  // Ctrl-C while the store was being read: nothing starts
    }
    if (AssumesYes()) {
        return true;
    }
    EndProgressLine();
    if (!options_.inputIsTerminal) {
        err_ << kToolName << ": " << question << '\n'
             << "  refused: standard input is not a terminal; give --yes to confirm\n";
        err_.flush();
        return false;
    }
    err_ << kToolName << ": " << question << " [y/N] ";
    err_.flush();
    const std::optional<std::string> answer = terminal_.ReadAnswerLine();
    if (answer && IsYes(*answer)) {
        return true;
    }
    if (!answer) {
        err_ << '\n';
    }
    err_ << "  refused\n";
    err_.flush();
    return false;
}

void ConsoleUi::Note(const std::string& text) {
    EndProgressLine();
    err_ << kToolName << ": " << text << '\n';
    err_.flush();
}

void ConsoleUi::DrawProgress(Redraw redraw) {
    if (!options_.errorIsTerminal) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (redraw == Redraw::WhenDue && percent_ == lastPercent_ &&
        now - lastDraw_ < kRedrawInterval) {
        return;
    }
    lastPercent_ = percent_;
    lastDraw_ = now;
    const double seconds = std::chrono::duration<double>(now - started_).count();
    const double speed = transferBytes_ > 0 && seconds > 0.2
                             ? static_cast<double>(transferBytes_) * percent_ / 100.0 / seconds
                             : 0.0;
    // One column short of the width, so that the cursor never wraps.
    const std::optional<std::size_t> columns = terminal_.Columns(StandardStream::Error);
    const std::size_t width = columns && *columns > 20 ? *columns - 1 : 79;
    err_ << '\r' << ProgressLine(action_, percent_, speed, width) << "\x1b[K";
    err_.flush();
    lineOpen_ = true;
}

void ConsoleUi::EndProgressLine() {
    if (lineOpen_) {
        err_ << '\n';
        err_.flush();
        lineOpen_ = false;
    }
}

}  // namespace quarnex::cli
