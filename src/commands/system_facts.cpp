#include "commands/system_facts.hpp"

#include <cmath>

#include "core/text.hpp"

namespace quarnex {

std::string GetWinDir(const SystemFactSource& facts) {
    return facts.WindowsDirectory();
}

std::string GetSysDir(const SystemFactSource& facts) {
    return facts.SystemDirectory();
}

std::string GetExeName(const SystemFactSource& facts) {
    return facts.ExecutableName();
}

std::string GetWinVer(const SystemFactSource& facts) {
    const OsVersion version = facts.Version();
    std::string text = version.platformName.empty() ? "" : version.platformName + "   ";
    text += "[" + std::to_string(version.major) + "." + std::to_string(version.minor) + " Build " +
            std::to_string(version.build & 0xFFFFu) + "]";
    return text;
}

std::string GetProcessor(const SystemFactSource& facts) {
    return ProcessorText(facts.ProcessorType());
}

std::string GetCores(const SystemFactSource& facts) {
    return std::to_string(facts.ProcessorCount());
}

std::string GetPhysMem(const SystemFactSource& facts) {
    return MegabytesText(facts.TotalPhysicalMemory());
}

std::string GetFreeMem(const SystemFactSource& facts) {
    return MegabytesText(facts.AvailablePhysicalMemory());
}

std::string GetKbType(const SystemFactSource& facts) {
    return KeyboardText(facts.KeyboardType());
}

std::string GetFKeys(const SystemFactSource& facts) {
    return std::to_string(facts.FunctionKeys());
}

std::string ProcessorText(int processorType) {
    switch (processorType) {
        case kProcessor386:
            return "386 Class";
        case kProcessor486:
            return "486 Class";
        case kProcessorPentium:
            return "Pentium Class";
        case kProcessorMipsR4000:
            return "MIPS R4000";
        case kProcessorAmd64:
            return "AMD x86/64";
        case kProcessorAlpha21064:
            return "Alpha 21064";
        default:
            return "";
    }
}

std::string KeyboardText(int keyboardType) {
    switch (keyboardType) {
        case 1:
            return "PC 83 key keyboard";
        case 3:
            return "AT 84 key keyboard";
        case 4:
            return "Enhanced 101 or 102 key keyboard";
        default:
            return "Special keyboard";
    }
}

std::string MegabytesText(std::uint64_t bytes) {
    constexpr double kMegabyte = 1048576.0;
    const double megabytes = std::round(static_cast<double>(bytes) / kMegabyte);
    return FormatThousands(static_cast<std::int64_t>(megabytes)) + " MB";
}

std::array<SystemInfoLine, kSystemInfoLines> SystemInfoLines(const SystemFactSource& facts) {
    return {{
        {"WinDIR:", GetWinDir(facts)},
        {"SysDir:", GetSysDir(facts)},
        {"EXEName:", GetExeName(facts)},
        {"WinVer:", GetWinVer(facts)},
        {"Processor:", GetProcessor(facts)},
        {"Cores:", GetCores(facts)},
        {"PhysMem:", GetPhysMem(facts)},
        {"FreeMem: ", GetFreeMem(facts)},
        {"KBType:", GetKbType(facts)},
        {"FKeys:", GetFKeys(facts)},
    }};
}

std::array<int, 3> PrintZoneColumns(const SystemInfoLine& line) {
    // The list is: an empty item, the label, the value; each item after the
    // first starts at the next zone after the text before it.
    const auto nextZone = [](std::size_t column) {
        return static_cast<int>((column / kPrintZoneWidth + 1) * kPrintZoneWidth);
    };
    const int label = nextZone(0);
    const int value = nextZone(static_cast<std::size_t>(label) + line.label.size());
    return {0, label, value};
}

std::string PrintZoneText(const SystemInfoLine& line) {
    const std::array<int, 3> columns = PrintZoneColumns(line);
    std::string text = PadRight("", static_cast<std::size_t>(columns[1]));
    text += line.label;
    text = PadRight(text, static_cast<std::size_t>(columns[2]));
    return text + line.value;
}

}  // namespace quarnex
