#pragma once
// System facts the tests choose, for the system information lines and window.

#include <cstdint>
#include <string>

#include "ports/system_facts.hpp"

namespace quarnex::testing {

class FakeSystemFacts final : public SystemFactSource {
  public:
    std::string WindowsDirectory() const override { return "/"; }
    std::string SystemDirectory() const override { return "/usr/lib"; }
    std::string ExecutableName() const override { return "/opt/quarnex/quarnex"; }
    OsVersion Version() const override { return version; }
    int ProcessorType() const override { return processor; }
    int ProcessorCount() const override { return cores; }
    std::uint64_t TotalPhysicalMemory() const override { return total; }
    std::uint64_t AvailablePhysicalMemory() const override { return available; }
    int KeyboardType() const override { return keyboard; }
    int FunctionKeys() const override { return functionKeys; }

    OsVersion version{"Linux", 6, 1, 0x12345};
    int processor = kProcessorAmd64;
    int cores = 2;
    std::uint64_t total = 8ull << 30;
    std::uint64_t available = 1536ull << 20;
    int keyboard = 4;
    int functionKeys = 12;
};

}  // namespace quarnex::testing
