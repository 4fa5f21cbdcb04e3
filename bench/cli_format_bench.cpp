// quarnex-cli format of a whole-store image file, timed against dd writing a
// store's worth of zeros with a final fsync on the same file system:
//   dd if=/dev/zero of=FILE bs=1M count=1500 conv=fsync
// The store file is one that quarnex-cli create made (sparse, formatted);
// a second line formats a file whose every block is written (made by dd).
// Best of ROUNDS runs each; the ratio is dd's time / ours (1.0 = as fast).
//
//   quarnex_cli_format_bench DIR [ROUNDS]
//
// quarnex-cli and its QuarnCfg folder are taken from beside this program.
// Needs 3.1 GB free in DIR; deletes what it made at the end.

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <limits>

#include "bench_world.hpp"
#include "platform/platform.hpp"

namespace {

using namespace quarnex::bench;

std::uintmax_t AllocatedBytes(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<std::uintmax_t>(info.st_blocks) * 512 : 0;
}

int Run(const std::string& dir, int rounds) {
    const std::string cli = CliBesideThisProgram();
    const std::string store = dir + "/bench-cli-store.img";
    const std::string full = dir + "/bench-cli-full.img";
    const std::string ddFile = dir + "/bench-cli-dd.img";
    const std::string dd =
        "dd if=/dev/zero of='" + ddFile + "' bs=1M count=1500 conv=fsync status=none";
    const auto format = [&](const std::string& file) {
        return "'" + cli + "' format '" + file + "' --id BENCH --base FDISK --yes > /dev/null";
    };
    std::printf("quarnex-cli: %s\nfiles in: %s\n", cli.c_str(), dir.c_str());

    Remove(store);
    TimedShell("'" + cli + "' create '" + store + "' --id BENCH --base FDISK --yes > /dev/null");
    TimedShell("dd if=/dev/zero of='" + full + "' bs=1M count=1500 conv=fsync status=none");
    TimedShell(dd);  // the first run pays for nothing the others do not

    // Alternating rounds, so that neither side always runs on a warm cache.
    const std::vector<double> best = BestTimes({{dd}, {format(store)}, {format(full)}}, rounds);
    const double ddBest = best[0];
    const double sparseBest = best[1];
    const double fullBest = best[2];
    std::printf("dd (bs=1M count=1500 conv=fsync)   %8.3f s\n", ddBest);
    std::printf("format, store file from create     %8.3f s   ratio %.2f   allocated %ju bytes\n",
                sparseBest, ddBest / sparseBest, AllocatedBytes(store));
    std::printf("format, fully written file         %8.3f s   ratio %.2f\n", fullBest,
                ddBest / fullBest);
    std::printf("(best of %d each; ratio = dd / quarnex-cli)\n", rounds);
    Remove(store);
    Remove(full);
    Remove(ddFile);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return quarnex::bench::RunInDir(argc, argv, 2, Run);
}
