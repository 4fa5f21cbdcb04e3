#include "support/test_world.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

namespace quarnex::testing {

TestWorld::TestWorld() {
    if (!AllocateBuffers(state)) {
        throw std::runtime_error("cannot allocate the test buffers");
    }
    state.adminRights = 1;
    state.appFolder = dir.Path() + "/";
}

void TestWorld::ExpectSettled() const {
    EXPECT_EQ(std::tuple(devices.OpenHandles(), state.busy, state.cancelRequested),
              std::tuple(0, false, false))
        << "open handles, busy, cancel left over";
}

}  // namespace quarnex::testing
