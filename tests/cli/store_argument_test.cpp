// A device named as a store: refused up front where the user's rights cannot
// reach it and the system says what to do, and never overwritten when the
// running system lives on it.
#include "cli/store_argument.hpp"

#include <gtest/gtest.h>

#include "core/media_sizes.hpp"
#include "support/test_world.hpp"

namespace quarnex::testing {
namespace {

TEST(StoreArgument, DevicesNeedRightsWhereTheSystemSaysSoAndNeverHoldTheSystem) {
    // Advice, whether the rights probe opens, mount points, the refusal's title (empty: resolved).
    const std::tuple<std::string, bool, std::vector<std::string>, std::string> rows[] = {
        {"Run as administrator.", false, {}, "Administrator Rights Needed"},
        {"Run as administrator.", true, {}, ""},
        {"", false, {}, ""},  // the open's own error will say why
        {"", true, {"/boot", "/"}, "System Disk"},
    };
    for (const auto& [advice, rightsProbeOpens, mountPoints, refusal] : rows) {
        SCOPED_TRACE(refusal + "|" + advice);
        TestWorld w;
        const std::string stick = w.dir / "stick";
        MakeSparseFile(stick, kStoreBytes);
        w.drives.drives = {{"stick", stick}};
        w.drives.rightsAdvice = advice;
        w.drives.rightsProbePath = rightsProbeOpens ? stick : w.dir / "missing";
        w.drives.mountPoints = mountPoints;
        const auto target = cli::ResolveStore(w.ctx, stick, cli::StoreUse::Overwrite);
        EXPECT_EQ(target.has_value(), refusal.empty());
        EXPECT_EQ(w.ui.messages.empty() ? "" : w.ui.messages[0].title, refusal);
        if (refusal == "Administrator Rights Needed") {
            EXPECT_EQ(w.ui.messages[0].text, stick + "\r\nRun as administrator.");
            EXPECT_EQ(w.devices.Count(FaultOp::Open, "stick"), 0);
        }
    }
}

}  // namespace
}  // namespace quarnex::testing
