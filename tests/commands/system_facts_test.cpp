#include "commands/system_facts.hpp"

#include <gtest/gtest.h>

#include <utility>

#include "support/fake_system_facts.hpp"

namespace quarnex {
namespace {

const std::string kZone(14, ' ');

TEST(SystemFacts, PrintsTheTenLinesInPrintZones) {
    testing::FakeSystemFacts facts;
    const auto lines = SystemInfoLines(facts);
    std::vector<std::string> printed;
    for (const SystemInfoLine& line : lines) {
        printed.push_back(PrintZoneText(line).substr(14));
        EXPECT_EQ(PrintZoneText(line).substr(0, 14), kZone);
    }
    EXPECT_EQ(printed,
              (std::vector<std::string>{
                  "WinDIR:       /", "SysDir:       /usr/lib", "EXEName:      /opt/quarnex/quarnex",
                  "WinVer:       Linux   [6.1 Build 9029]",  // low 16 bits
                  "Processor:    AMD x86/64", "Cores:        2", "PhysMem:      8,192 MB",
                  "FreeMem:      1,536 MB", "KBType:       Enhanced 101 or 102 key keyboard",
                  "FKeys:        12"}));
    // A label that fills its zone pushes the value to the zone after.
    EXPECT_EQ(PrintZoneColumns({std::string(14, 'L'), "v"}), (std::array<int, 3>{0, 14, 42}));
    facts.version = {"", 10, 0, 19045};  // no system name
    EXPECT_EQ(SystemInfoLines(facts)[3].value, "[10.0 Build 19045]");
}

TEST(SystemFacts, MemoryInWholeMegabytes) {
    // Whole megabytes, halves up; past 32 bits both halves count.
    const std::pair<std::uint64_t, const char*> memory[] = {
        {(1ull << 20) / 2 - 1, "0 MB"},
        {(3ull << 20) / 2, "2 MB"},
        {1ull << 40, "1,048,576 MB"},
        {(5ull << 32) + (1ull << 20), "20,481 MB"}};
    for (const auto& [bytes, text] : memory) {
        EXPECT_EQ(MegabytesText(bytes), text) << bytes;
    }
}

}  // namespace
}  // namespace quarnex
