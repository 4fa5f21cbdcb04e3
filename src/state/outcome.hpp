#pragma once
// How an operation ended, for the caller to turn into what the user sees and,
// in the terminal tool, into the exit status.

namespace quarnex {

enum class Outcome {
    NotStarted,  // refused, cancelled in a dialog, or failed before any change
    Incomplete,  // stopped part way by a failure or a cancel; partly done
    Complete,
};

}  // namespace quarnex
