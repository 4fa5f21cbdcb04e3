#pragma once
// SysinfoM: the ten facts of the system-information window, from the
// platform's SystemFactSource, as the texts the window prints.

#include <array>
#include <cstdint>
#include <string>

#include "ports/system_facts.hpp"

namespace quarnex {

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
