#pragma once
// The system-information facts on Linux: the root and library folders stand
// for the Windows and system folders, uname for the version and processor,
// /proc/meminfo for memory. Keyboards are not known, so a standard one.

#include <string>
#include <string_view>

#include "ports/system_facts.hpp"

namespace quarnex {

class PosixSystemFacts final : public SystemFactSource {
  public:
    // meminfoPath lets tests supply their own memory figures.
    explicit PosixSystemFacts(std::string meminfoPath = "/proc/meminfo");

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

  private:
    std::string meminfoPath_;
};

// "6.1.0-18-amd64" -> 6, 1, 0: leading digits of the first three dot fields.
OsVersion VersionFromRelease(std::string_view kernelName, std::string_view release);

// uname's machine name -> processor table code ("x86_64" -> 8664).
int ProcessorTypeOfMachine(std::string_view machine);

// A "Key:   123 kB" figure of /proc/meminfo in bytes; 0 when absent.
std::uint64_t MeminfoBytes(std::string_view meminfo, std::string_view key);

}  // namespace quarnex
