#include "commands/window_progress.hpp"

#include <string>

#include "commands/activity_text.hpp"

namespace quarnex {

void WindowProgress::SetBusy(bool busy) {
    state_.cancelRequested = false;
    state_.busy = busy;
    ui_.Changed(WindowPart::Menus);
}

void WindowProgress::Started() {
    StatusStrip& status = state_.status;
    status.progressBar = 0;
    status.actionLabel.clear();
    status.progressLabel = "Progress";
    ui_.Changed(WindowPart::ProgressBar);
    ui_.Changed(WindowPart::ActionLabel);
    ui_.Changed(WindowPart::ProgressLabel);
}

void WindowProgress::Doing(const Activity& what) {
    state_.status.actionLabel = ActivityText(what);
    state_.status.actionLabelPath = what.path;
    ui_.Changed(WindowPart::ActionLabel);
}

void WindowProgress::UnitDone(long done, long total) {
    StatusStrip& status = state_.status;
    status.progressBar = ProgressPercent(done, total);
    if (status.progressBar >= kFinishedPercent) {
        status.progressLabel = "Progress      Finished";
    } else {
        status.progressLabel = "Progress        " + std::to_string(status.progressBar) + "%";
    }
    ui_.Changed(WindowPart::ProgressBar);
    ui_.Changed(WindowPart::ProgressLabel);
    ui_.PumpEvents();
}

void WindowProgress::Finished() {
    UnitDone(1, 1);
}

void WindowProgress::Failed() {
    state_.status.progressLabel = "Progress       Failed";
    ui_.Changed(WindowPart::ProgressLabel);
}

}  // namespace quarnex
