#pragma once
// Everything an operation needs, wired for tests: real files through a
// fault-injecting backend, a fake drive catalog, a recording Ui, a fake clock
// and fixed text metrics, with the buffers allocated; and the main window's
// model over it for the commands.

#include "commands/text_metrics.hpp"
#include "commands/window_context.hpp"
#include "commands/window_progress.hpp"
#include "support/fake_clock.hpp"
#include "support/fake_drive_catalog.hpp"
#include "support/fake_ui.hpp"
#include "support/fault_injecting_backend.hpp"
#include "support/temp_dir.hpp"
#include "system_backend.hpp"

namespace quarnex::testing {

// One grid line is 240 twips high in tests, so BaseRowHeight is 270.
inline constexpr double kTestLineHeight = 240.0;

struct TestWorld {
    TestWorld();
    void ExpectSettled() const;  // nothing open, not busy, no cancel left over

    TempDir dir;
    FixedTextMetrics metrics{kTestLineHeight};
    ProgramState state;
    WindowModel model{state.slotTable, metrics};
    SystemDeviceBackend system;
    FaultInjectingBackend devices{system};
    FakeDriveCatalog drives;
    FakeUi ui{state};
    FakeClock clock;
    WindowProgress progress{state, ui};
    WindowContext ctx{{state, devices, drives, ui, clock, progress}, model};
};

}  // namespace quarnex::testing
