#include "support/test_world.hpp"

#include <stdexcept>

namespace quarnex::testing {

TestWorld::TestWorld() {
    if (!AllocateBuffers(state)) {
        throw std::runtime_error("cannot allocate the test buffers");
    }
    state.AdminRights = 1;
    state.AppFolder = dir.Path() + "/";
}

}  // namespace quarnex::testing
