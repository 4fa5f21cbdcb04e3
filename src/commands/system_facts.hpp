#pragma once
// SysinfoM: the ten facts of the system-information window, from a small
// platform interface, as the texts the window prints.

#include <array>
#include <cstdint>
#include <memory>
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

// The running platform's facts (one factory picks the backend).
std::unique_ptr<SystemFactSource> MakePlatformSystemFacts();

std::string GetWinDir(const SystemFactSource& facts);
std::string GetSysDir(const SystemFactSource& facts);
std::string GetExeName(const SystemFactSource& facts);
std::string GetWinVer(const SystemFactSource& facts);
std::string GetProcessor(const SystemFactSource& facts);
std::string GetCores(const SystemFactSource& facts);
std::string GetPhysMem(const SystemFactSource& facts);
std::string GetFreeMem(const SystemFactSource& facts);
std::string GetKbType(const SystemFactSource& facts);
std::string GetFKeys(const SystemFactSource& facts);

// Table lookups and the memory form ("8,192 MB").
std::string ProcessorText(int processorType);
std::string KeyboardText(int keyboardType);
std::string MegabytesText(std::uint64_t bytes);

struct SystemInfoLine {
    std::string label;
    std::string value;
};

inline constexpr int kSystemInfoLines = 10;
// The ten label/value pairs in the order the window prints them.
std::array<SystemInfoLine, kSystemInfoLines> SystemInfoLines(const SystemFactSource& facts);

// Print zones: each item of a print list starts at the next zone of 14
// character widths. Returns the column (in characters) of each item.
inline constexpr int kPrintZoneWidth = 14;
std::array<int, 3> PrintZoneColumns(const SystemInfoLine& line);
// The same line as text, items padded to their columns (for tests and a
// terminal).
std::string PrintZoneText(const SystemInfoLine& line);

}  // namespace quarnex
