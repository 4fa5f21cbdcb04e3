#pragma once
// The device backend of the system the tests run on.

#include "platform/win32/win32_device_backend.hpp"

namespace quarnex::testing {

using SystemDeviceBackend = Win32DeviceBackend;

}  // namespace quarnex::testing
