#include "commands/system_facts.hpp"

#include <gtest/gtest.h>

#include <utility>

#include "support/fake_system_facts.hpp"

namespace quarnex {
namespace {

using FakeFacts = testing::FakeSystemFacts;

TEST(SystemFacts, PrintsTheTenLinesInPrintZones) {
    FakeFacts facts;
    const auto lines = SystemInfoLines(facts);
    std::vector<std::string> printed;
    for (const SystemInfoLine& line : lines) {
        printed.push_back(PrintZoneText(line));
    }
    const std::string zone(14, ' ');
    EXPECT_EQ(printed, (std::vector<std::string>{
                           zone + "WinDIR:       /",
                           zone + "SysDir:       /usr/lib",
                           zone + "EXEName:      /opt/quarnex/quarnex",
                           zone + "WinVer:       Linux   [6.1 Build 9029]",  // low 16 bits
                           zone + "Processor:    AMD x86/64",
                           zone + "Cores:        2",
                           zone + "PhysMem:      8,192 MB",
                           zone + "FreeMem:      1,536 MB",
                           zone + "KBType:       Enhanced 101 or 102 key keyboard",
                           zone + "FKeys:        12",
                       }));
    EXPECT_EQ(PrintZoneColumns(lines[0]), (std::array<int, 3>{0, 14, 28}));
    // A label that fills its zone pushes the value to the zone after.
    EXPECT_EQ(PrintZoneColumns({std::string(14, 'L'), "v"}), (std::array<int, 3>{0, 14, 42}));
}

TEST(SystemFacts, TablesAndUnknownValues) {
    FakeFacts facts;
    facts.processor = 12345;
    facts.keyboard = 7;
    facts.version = {"", 10, 0, 19045};
    const auto lines = SystemInfoLines(facts);
    EXPECT_EQ(PrintZoneText(lines[4]), std::string(14, ' ') + "Processor:    ");
    EXPECT_EQ(lines[8].value, "Special keyboard");
    EXPECT_EQ(lines[3].value, "[10.0 Build 19045]");

    const std::pair<int, const char*> processors[] = {{386, "386 Class"},     {486, "486 Class"},
                                                      {586, "Pentium Class"}, {4000, "MIPS R4000"},
                                                      {21064, "Alpha 21064"}, {0, ""}};
    for (const auto& [code, text] : processors) {
        EXPECT_EQ(ProcessorText(code), text) << code;
    }
    EXPECT_EQ(KeyboardText(1), "PC 83 key keyboard");
    EXPECT_EQ(KeyboardText(3), "AT 84 key keyboard");
}

TEST(SystemFacts, MemoryInWholeMegabytes) {
    EXPECT_EQ(MegabytesText(0), "0 MB");
    EXPECT_EQ(MegabytesText((1ull << 20) / 2 - 1), "0 MB");
    EXPECT_EQ(MegabytesText((3ull << 20) / 2), "2 MB");  // halves round up
    EXPECT_EQ(MegabytesText(1ull << 40), "1,048,576 MB");
    // Past 32 bits: both halves count.
    EXPECT_EQ(MegabytesText((5ull << 32) + (1ull << 20)), "20,481 MB");
}

}  // namespace
}  // namespace quarnex
