#pragma once
// The device backend of the system the tests run on.

#include "platform/posix/posix_device_backend.hpp"

namespace quarnex::testing {

using SystemDeviceBackend = PosixDeviceBackend;

}  // namespace quarnex::testing
