#pragma once
// The system facts the information window shows, and the clock, from the
// Windows calls that keep them.

#include "ports/clock.hpp"
#include "ports/system_facts.hpp"

namespace quarnex {

class Win32SystemFacts final : public SystemFactSource {
  public:
    std::string WindowsDirectory() const override;
    std::string SystemDirectory() const override;
    std::string ExecutableName() const override;
    OsVersion Version() const override;
    int ProcessorType() const override;
    int ProcessorCount() const override;
    std::uint64_t TotalPhysicalMemory() const override;
    std::uint64_t AvailablePhysicalMemory() const override;
    int KeyboardType() const override;
    int FunctionKeys() const override;
};

class Win32Clock final : public Clock {
  public:
    double SecondsSinceMidnight() override;
    LocalDateTime Now() override;
    LocalDateTime Local(long long unixSeconds) override;
    void Sleep(double seconds) override;
};

}  // namespace quarnex
