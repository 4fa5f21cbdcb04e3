#pragma once
// The loop every long store transfer shares: units 0..count-1 in order, each
// unit's step saying whether it was done, failed or was cancelled, and the
// progress display moved on after every unit that was done but the last. The caller shows the end
// itself, after the written data has reached the medium, so that "Finished" never shows while it
// might still fail. Where each operation tests the cancel flag stays in its own step.

#include <algorithm>
#include <optional>
#include <utility>

#include "core/result.hpp"
#include "ports/progress.hpp"
#include "state/outcome.hpp"

namespace quarnex {

// The display reads "Finished" from 99.5 percent on (995 of 999); until the
// caller has flushed, the shown count stops just below that.
constexpr long LastUnitBeforeFinished(long total) {
    return (199 * total + 199) / 200 - 1;
}
static_assert(LastUnitBeforeFinished(999) == 994);
static_assert(LastUnitBeforeFinished(159) == 158);

// How one unit ended; a failed unit brings the error record of the step that
// failed.
struct UnitStep {
    enum class End { Done, Failed, Cancelled };
    End end = End::Done;
    std::optional<ErrorRecord> error{};

    static UnitStep Done() { return {}; }
    static UnitStep Cancelled() { return {End::Cancelled}; }
    static UnitStep Failed(ErrorRecord failure) { return {End::Failed, std::move(failure)}; }
};

// Complete when every unit was done; stops at the first unit that was not,
// and tells the progress port when that was a cancel.
template <typename Step>
OperationResult RunUnits(Progress& progress, int count, Step step) {
    for (int unit = 0; unit < count; ++unit) {
        if (UnitStep done = step(unit); done.end != UnitStep::End::Done) {
            if (done.end == UnitStep::End::Cancelled) {
                progress.Cancelled();
                return OperationResult::CancelledAt(unit);
            }
            return OperationResult::FailedAt(unit, std::move(*done.error));
        }
        if (unit + 1 < count) {
            progress.UnitDone(std::min<long>(unit, LastUnitBeforeFinished(count - 1)), count - 1);
        }
    }
    return OperationResult::Done();
}

// A unit whose transfer succeeded counts as cancelled once the user has asked
// to cancel.
inline UnitStep AfterTransfer(Progress& progress, const Status& transferred) {
    if (!transferred) {
        return UnitStep::Failed(transferred.Error());
    }
    return progress.CancelAsked() ? UnitStep::Cancelled() : UnitStep::Done();
}

// A complete run whose data then fails to reach the medium stopped at its
// last unit.
inline OperationResult AfterFlush(const OperationResult& run, const Status& flushed, int lastUnit) {
    if (run.Complete() && !flushed) {
        return OperationResult::FailedAt(lastUnit, flushed.Error());
    }
    return run;
}

}  // namespace quarnex
