// The start-up decision built on the rights probe; which paths are probed is
// the drive catalog's part.

#include "scan/admin_rights.hpp"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/posix/posix_drive_catalog.hpp"
#include "support/fake_block_tree.hpp"
#include "support/test_world.hpp"

namespace quarnex {
namespace {

using testing::FakeBlockTree;
using testing::FakeDisk;
using testing::Fault;
using testing::FaultOp;

TEST(CheckAdminRights, WithoutAReadableDiskTheUserDecides) {
    testing::TestWorld w;
    FakeBlockTree tree(w.dir / "tree");
    PosixDriveCatalog catalog(tree.Roots());
    Context ctx{w.state, w.devices, catalog, w.ui, w.clock, w.progress};

    // No disk at all: nothing to probe.
    w.ui.advisoryAnswers = {0};
    EXPECT_EQ(CheckAdminRights(ctx), 0) << "Continue";

    // The root disk is listed but its node cannot be opened.
    tree.AddDisk(FakeDisk{"vda", "254:0", 2048});
    tree.Mount("254:0", "/", "/dev/vda", "ext4");
    w.ui.advisoryAnswers = {-1};
    EXPECT_EQ(CheckAdminRights(ctx), -1) << "Exit";
    EXPECT_EQ(w.ui.advisoryQuestions, 2);

    // Readable now, but the system refuses the open.
    tree.WriteNode("vda", std::vector<unsigned char>(512, 0));
    w.devices.Inject(Fault{FaultOp::Open, 1, "/vda", EACCES, 0});
    w.ui.advisoryAnswers = {0};
    EXPECT_EQ(CheckAdminRights(ctx), 0);

    // And once it opens, nobody is asked.
    EXPECT_EQ(CheckAdminRights(ctx), 1);
    EXPECT_EQ(w.ui.advisoryQuestions, 3);

    // The root disk refused for good: the next path that opens shows the rights.
    tree.AddDisk(FakeDisk{"loop0", "7:0", 0});
    tree.WriteNode("loop0", {});
    w.devices.Inject(Fault{FaultOp::Open, 0, "/vda", EPERM, 0});
    EXPECT_EQ(CheckAdminRights(ctx), 1);
    EXPECT_EQ(w.ui.advisoryQuestions, 3);
    EXPECT_EQ(w.devices.OpenHandles(), 0);
    EXPECT_TRUE(w.ui.messages.empty()) << "the probe is quiet";
}

}  // namespace
}  // namespace quarnex
