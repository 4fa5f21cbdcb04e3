#include "platform/posix/posix_system_facts.hpp"

#include <gtest/gtest.h>

#include "support/temp_dir.hpp"

namespace quarnex {
namespace {

TEST(PosixSystemFacts, ReadsReleaseMachineAndMeminfo) {
    const OsVersion debian = VersionFromRelease("Linux", "6.1.0-18-amd64");
    EXPECT_EQ(debian.platformName, "Linux");
    EXPECT_EQ(debian.major, 6u);
    EXPECT_EQ(debian.minor, 1u);
    EXPECT_EQ(debian.build, 0u);
    const OsVersion shortRelease = VersionFromRelease("Linux", "5.15");
    EXPECT_EQ(shortRelease.minor, 15u);
    EXPECT_EQ(shortRelease.build, 0u);
    const OsVersion odd = VersionFromRelease("Linux", "x.y");
    EXPECT_EQ(odd.major, 0u);

    EXPECT_EQ(ProcessorTypeOfMachine("x86_64"), kProcessorAmd64);
    EXPECT_EQ(ProcessorTypeOfMachine("i686"), kProcessorPentium);
    EXPECT_EQ(ProcessorTypeOfMachine("aarch64"), kProcessorUnknown);

    const std::string meminfo =
        "MemTotal:        8388608 kB\nMemFree:  100 kB\nMemAvailable:    1048576 kB\n";
    EXPECT_EQ(MeminfoBytes(meminfo, "MemTotal"), 8ull << 30);
    EXPECT_EQ(MeminfoBytes(meminfo, "MemAvailable"), 1ull << 30);
    EXPECT_EQ(MeminfoBytes(meminfo, "Mem"), 0u);
    EXPECT_EQ(MeminfoBytes("", "MemTotal"), 0u);

    testing::TempDir dir;
    testing::WriteFileText(dir / "meminfo", meminfo);
    const PosixSystemFacts facts(dir / "meminfo");
    EXPECT_EQ(GetPhysMem(facts), "8,192 MB");
    EXPECT_EQ(GetFreeMem(facts), "1,024 MB");
    EXPECT_EQ(GetKbType(facts), "Enhanced 101 or 102 key keyboard");
    EXPECT_EQ(GetFKeys(facts), "12");
    // The running test binary and this machine's kernel.
    EXPECT_NE(GetExeName(facts).find("quarnex_core_tests"), std::string::npos);
    EXPECT_EQ(GetWinVer(facts).rfind("Linux   [", 0), 0u);
    EXPECT_GE(facts.ProcessorCount(), 1);
}

}  // namespace
}  // namespace quarnex
