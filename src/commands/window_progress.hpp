#pragma once
// The main window's side of the progress port: events become the status
// strip's action label, progress label and bar, and the window is told to
// render them; finished units let its events run, which is how Cancel
// reaches the operation.

#include "commands/program_state.hpp"
#include "ports/progress.hpp"
#include "ports/ui.hpp"

namespace quarnex {

class WindowProgress final : public Progress {
  public:
    WindowProgress(ProgramState& state, Ui& ui) : state_(state), ui_(ui) {}

    void Started() override;
    void UnderWay() override { SetBusy(true); }
    void Over() override { SetBusy(false); }
    void Doing(const Activity& what) override;
    void UnitDone(long done, long total) override;
    void Finished() override;
    void Failed() override;
    // The strip keeps what it shows; the outcome says the rest.
    void Cancelled() override {}
    bool CancelAsked() override { return state_.cancelRequested; }

  private:
    void SetBusy(bool busy);

    ProgramState& state_;
    Ui& ui_;
};

}  // namespace quarnex
