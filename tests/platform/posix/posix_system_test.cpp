// What the program learns from the system it runs on: its folders, the
// facts the system information shows, and the stop requests it collects.

#include <gtest/gtest.h>
#include <signal.h>

#include <tuple>
#include <vector>

#include "platform/posix/posix_interrupt_watch.hpp"
#include "platform/posix/posix_program_paths.hpp"
#include "platform/posix/posix_system_facts.hpp"
#include "support/temp_dir.hpp"

namespace quarnex {
namespace {

bool Listed(const std::string& list, const std::string& path) {
    return (" " + list + " ").find(" " + path + " ") != std::string::npos;
}

// Files present, writable folders (space-separated) and the environment ->
// appFolder | placement file.
TEST(ProgramFolders, TemplateAndHelpBesideElseInstalledAndPlacementBesideElsePerUser) {
    struct Case {
        std::string executable, files, writable, xdg, home, expected;
    };
    // clang-format off
    const Case cases[] = {
        {"/b/bin/quarnex", "/b/bin/QuarnCfg/FAT12.144 /b/share/quarnex/QuarnCfg/FAT12.144", "/b/bin/QuarnCfg", "/x", "/h", "/b/bin/|/b/bin/QuarnCfg/Quarn.cfg"},
        {"/b/bin/quarnex", "/b/bin/QuarnHlp/QuarnHlp.htm", "", "", "/home/ann", "/b/bin/|/home/ann/.config/quarnex/Quarn.cfg"},
        // Installed: found relative to the program, so a moved prefix works.
        {"/opt/qx/bin/quarnex", "/opt/qx/share/quarnex/QuarnCfg/FAT12.144", "/opt/qx/bin", "/home/ann/cfg/", "/home/ann", "/opt/qx/share/quarnex/|/home/ann/cfg/quarnex/Quarn.cfg"},
        {"/usr/bin/quarnex-cli", "/usr/share/quarnex/QuarnHlp/QuarnHlp.htm", "", "rel/cfg", "/home/ann", "/usr/share/quarnex/|/home/ann/.config/quarnex/Quarn.cfg"},
        // Nothing found, no home: beside the program, where a save says why.
        {"/usr/bin/quarnex", "", "", "", "", "/usr/bin/|/usr/bin/QuarnCfg/Quarn.cfg"},
        {"", "/share/quarnex/QuarnCfg/FAT12.144", "", "/cfg", "", "|/cfg/quarnex/Quarn.cfg"},
    };
    // clang-format on
    for (const Case& c : cases) {
        const PathProbe probe{[&](const std::string& path) { return Listed(c.files, path); },
                              [&](const std::string& path) { return Listed(c.writable, path); },
                              c.xdg, c.home};
        EXPECT_EQ(ChooseDataFolder(c.executable, "../share/quarnex", probe) + "|" +
                      ChoosePlacementFile(c.executable, probe),
                  c.expected)
            << c.executable;
    }
}

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
    EXPECT_EQ(MeminfoBytes(meminfo, "Mem") + MeminfoBytes("", "MemTotal"), 0u);

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

// Ctrl-C, SIGTERM and SIGHUP each cancel a transfer instead of ending the
// program halfway.
TEST(PosixInterruptWatch, CollectsEachStopRequestOnce) {
    PosixInterruptWatch watch;
    ASSERT_GE(watch.Fd(), 0);
    EXPECT_FALSE(watch.Poll());
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ASSERT_EQ(::raise(signal), 0) << signal;  // blocked: it waits for the watch
        EXPECT_TRUE(watch.Poll()) << signal;
        EXPECT_FALSE(watch.Poll()) << signal;
    }
    watch.Release();
    EXPECT_EQ(watch.Fd(), -1);
    EXPECT_FALSE(watch.Poll());
}

}  // namespace
}  // namespace quarnex
