#include "support/loop_device.hpp"

namespace quarnex::testing {

// Windows has no loop devices: the tests that need one skip themselves.
LoopDevice::LoopDevice(const std::string&, int) : problem_("no loop devices on Windows") {}

LoopDevice::~LoopDevice() = default;

}  // namespace quarnex::testing
