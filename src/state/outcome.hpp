#pragma once
// How an operation ended, for the caller to turn into what the user sees and,
// in the terminal tool, into the exit status.

namespace quarnex {

enum class Outcome {
    NotStarted,  // refused, cancelled in a dialog, or failed before any change
    Incomplete,  // stopped part way by a failure or a cancel; partly done
    Complete,
};

// Why an operation did not start. Every reason but a cancelled dialog has
// already been shown to the user.
enum class NotStartedReason {
    Failure,          // an error report was shown
    Refused,          // a message said why the request cannot be done
    DialogCancelled,  // the file dialog was cancelled, which passes silently
    NoTarget,         // no store selected, or a slot outside 1..999
};

// What stopped an incomplete operation at its unit.
enum class StopCause { Failure, Cancel };

// An operation's outcome with what its caller needs to decide on: the unit an
// incomplete run stopped at (the one its action label named last), or why it
// did not start.
struct OperationResult {
    Outcome outcome = Outcome::Complete;
    int unit = -1;  // Incomplete only
    StopCause cause = StopCause::Failure;
    NotStartedReason reason = NotStartedReason::Failure;

    static OperationResult Done() { return {}; }
    static OperationResult NotStarted(NotStartedReason why) {
        return {Outcome::NotStarted, -1, StopCause::Failure, why};
    }
    static OperationResult StoppedAt(int unit, StopCause cause) {
        return {Outcome::Incomplete, unit, cause, NotStartedReason::Failure};
    }
    bool Complete() const { return outcome == Outcome::Complete; }
    bool Cancelled() const { return outcome == Outcome::Incomplete && cause == StopCause::Cancel; }
    bool operator==(const OperationResult&) const = default;
};

}  // namespace quarnex
