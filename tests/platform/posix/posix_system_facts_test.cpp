#include "platform/posix/posix_system_facts.hpp"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "support/temp_dir.hpp"

namespace quarnex {
namespace {

TEST(PosixSystemFacts, ReadsReleaseMachineAndMeminfo) {
    const OsVersion debian = VersionFromRelease("Linux", "6.1.0-18-amd64");
    EXPECT_EQ(std::tuple(debian.platformName, debian.major, debian.minor, debian.build),
              std::tuple("Linux", 6u, 1u, 0u));
    EXPECT_EQ(VersionFromRelease("Linux", "x.y").major, 0u);
    EXPECT_EQ(std::vector({ProcessorTypeOfMachine("x86_64"), ProcessorTypeOfMachine("i686"),
                           ProcessorTypeOfMachine("aarch64")}),
              std::vector({kProcessorAmd64, kProcessorPentium, kProcessorUnknown}));

    const std::string meminfo =
        "MemTotal:        8388608 kB\nMemFree:  100 kB\nMemAvailable:    1048576 kB\n";
    EXPECT_EQ(MeminfoBytes(meminfo, "Mem"), 0u);
    EXPECT_EQ(MeminfoBytes("", "MemTotal"), 0u);

    testing::TempDir dir;
    testing::WriteFileText(dir / "meminfo", meminfo);
    const PosixSystemFacts facts(dir / "meminfo");
    EXPECT_EQ(facts.TotalPhysicalMemory(), 8ull << 30);
    EXPECT_EQ(facts.AvailablePhysicalMemory(), 1ull << 30);
    // The running test binary and this machine's kernel.
    EXPECT_NE(facts.ExecutableName().find("quarnex_core_tests"), std::string::npos);
    EXPECT_EQ(facts.Version().platformName, "Linux");
    EXPECT_GE(facts.ProcessorCount(), 1);
}

}  // namespace
}  // namespace quarnex
