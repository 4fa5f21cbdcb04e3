#pragma once
// How an operation ended, for the caller to turn into what the user sees and,
// in the terminal tool, into the exit status.

#include <optional>
#include <utility>

#include "core/result.hpp"

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
// incomplete run stopped at (the one its action label named last), why it did
// not start, and the failure that stopped it when a step failed.
struct OperationResult {
    Outcome outcome = Outcome::Complete;
    int unit = -1;  // Incomplete only
    StopCause cause = StopCause::Failure;
    NotStartedReason reason = NotStartedReason::Failure;
    // The step's error record, already shown to the user; none for a cancel,
    // a refusal, or a failure found before any step of this operation ran.
    std::optional<ErrorRecord> error{};

    static OperationResult Done() { return {}; }
    static OperationResult NotStarted(NotStartedReason why) {
        return {Outcome::NotStarted, -1, StopCause::Failure, why};
    }
    static OperationResult NotStarted(ErrorRecord failure) {
        return {Outcome::NotStarted, -1, StopCause::Failure, NotStartedReason::Failure,
                std::move(failure)};
    }
    static OperationResult CancelledAt(int unit) {
        return {Outcome::Incomplete, unit, StopCause::Cancel, NotStartedReason::Failure};
    }
    static OperationResult FailedAt(int unit, ErrorRecord failure) {
        return {Outcome::Incomplete, unit, StopCause::Failure, NotStartedReason::Failure,
                std::move(failure)};
    }
    // The same ending, counted at another unit (a block's run as its slot).
    OperationResult AtUnit(int other) const {
        OperationResult moved = *this;
        if (moved.outcome == Outcome::Incomplete) {
            moved.unit = other;
        }
        return moved;
    }
    bool Complete() const { return outcome == Outcome::Complete; }
    bool Cancelled() const { return outcome == Outcome::Incomplete && cause == StopCause::Cancel; }
    bool operator==(const OperationResult&) const = default;
};

}  // namespace quarnex
