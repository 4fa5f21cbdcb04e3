#include "platform/posix/posix_program_paths.hpp"

#include <gtest/gtest.h>

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
    const Case cases[] = {
        {"/b/bin/quarnex", "/b/bin/QuarnCfg/FAT12.144 /b/share/quarnex/QuarnCfg/FAT12.144",
         "/b/bin/QuarnCfg", "/x", "/h", "/b/bin/|/b/bin/QuarnCfg/Quarn.cfg"},
        {"/b/bin/quarnex", "/b/bin/QuarnHlp/QuarnHlp.htm", "", "", "/home/ann",
         "/b/bin/|/home/ann/.config/quarnex/Quarn.cfg"},
        // Installed: found relative to the program, so a moved prefix works.
        {"/opt/qx/bin/quarnex", "/opt/qx/share/quarnex/QuarnCfg/FAT12.144", "/opt/qx/bin",
         "/home/ann/cfg/", "/home/ann", "/opt/qx/share/quarnex/|/home/ann/cfg/quarnex/Quarn.cfg"},
        {"/usr/bin/quarnex-cli", "/usr/share/quarnex/QuarnHlp/QuarnHlp.htm", "", "rel/cfg",
         "/home/ann", "/usr/share/quarnex/|/home/ann/.config/quarnex/Quarn.cfg"},
        // Nothing found, no home: beside the program, where a save says why.
        {"/usr/bin/quarnex", "", "", "", "", "/usr/bin/|/usr/bin/QuarnCfg/Quarn.cfg"},
        {"", "/share/quarnex/QuarnCfg/FAT12.144", "", "/cfg", "", "|/cfg/quarnex/Quarn.cfg"},
    };
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

}  // namespace
}  // namespace quarnex
