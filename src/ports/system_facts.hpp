#pragma once
// The facts the system-information window shows, as the platform knows them.
// The texts made of them are the commands layer's business.

#include <cstdint>
#include <string>

namespace quarnex {

struct OsVersion {
    std::string platformName;  // shown before the version; empty shows none
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
};

// Processor type codes of the processor table.
inline constexpr int kProcessorUnknown = 0;
inline constexpr int kProcessor386 = 386;
inline constexpr int kProcessor486 = 486;
inline constexpr int kProcessorPentium = 586;
inline constexpr int kProcessorMipsR4000 = 4000;
inline constexpr int kProcessorAmd64 = 8664;
inline constexpr int kProcessorAlpha21064 = 21064;

class SystemFactSource {
  public:
    virtual ~SystemFactSource() = default;
    SystemFactSource() = default;
    SystemFactSource(const SystemFactSource&) = delete;
    SystemFactSource& operator=(const SystemFactSource&) = delete;

    virtual std::string WindowsDirectory() const = 0;
    virtual std::string SystemDirectory() const = 0;
    virtual std::string ExecutableName() const = 0;
    virtual OsVersion Version() const = 0;
    virtual int ProcessorType() const = 0;
    virtual int ProcessorCount() const = 0;
    virtual std::uint64_t TotalPhysicalMemory() const = 0;      // bytes
    virtual std::uint64_t AvailablePhysicalMemory() const = 0;  // bytes
    virtual int KeyboardType() const = 0;
    virtual int FunctionKeys() const = 0;
};

}  // namespace quarnex
