#pragma once
// Everything an operation needs, wired for tests: real files through a
// fault-injecting backend, a fake drive catalog, a recording Ui, a fake clock
// and fixed text metrics, with the buffers allocated.

#include "commands/text_metrics.hpp"
#include "platform/posix/posix_device_backend.hpp"
#include "state/context.hpp"
#include "support/fake_clock.hpp"
#include "support/fake_drive_catalog.hpp"
#include "support/fake_ui.hpp"
#include "support/fault_injecting_backend.hpp"
#include "support/temp_dir.hpp"

namespace quarnex::testing {

// One grid line is 240 twips high in tests, so BaseRowHeight is 270.
inline constexpr double kTestLineHeight = 240.0;

struct TestWorld {
    TestWorld();

    TempDir dir;
    FixedTextMetrics metrics{kTestLineHeight};
    ProgramState state{metrics};
    PosixDeviceBackend posix;
    FaultInjectingBackend devices{posix};
    FakeDriveCatalog drives;
    FakeUi ui{state};
    FakeClock clock;
    Context ctx{state, devices, drives, ui, clock};
};

}  // namespace quarnex::testing
