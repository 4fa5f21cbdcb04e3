// quarnex-cli put of one image into a slot, with its read-back and with
// --no-verify, timed against dd writing the same bytes to the same offset:
//   dd if=IMAGE of=STORE bs=1474560 count=1 seek=OFFSET oflag=seek_bytes conv=notrunc,fsync
// Each side writes SLOTS slots (one run each); best of ROUNDS. The store is
// fully written (made by dd, then formatted), as a stick is. The ratio is
// dd's time / ours (1.0 = as fast).
//
//   quarnex_cli_put_bench DIR [ROUNDS] [SLOTS]
//
// quarnex-cli and its QuarnCfg folder are taken from beside this program.
// Needs 1.6 GB free in DIR; deletes what it made at the end.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <limits>

#include "bench_world.hpp"
#include "core/media_sizes.hpp"
#include "platform/platform.hpp"

namespace {

using namespace quarnex::bench;

int Run(const std::string& dir, int rounds, int slots) {
    const std::string cli = CliBesideThisProgram();
    const std::string store = dir + "/bench-put-store.img";
    const std::string image = dir + "/bench-put-image.img";
    std::printf("quarnex-cli: %s\nfiles in: %s\n", cli.c_str(), dir.c_str());
    TimedShell("dd if=/dev/zero of='" + store + "' bs=1M count=1500 conv=fsync status=none");
    TimedShell("'" + cli + "' format '" + store + "' --id BENCH --base FDISK --yes > /dev/null");
    TimedShell("head -c 1474560 /dev/urandom > '" + image + "'");

    // One shell line per side, each writing the same slots, so that process
    // start-up counts on both.
    const auto slotOf = [](int k) { return k * 997 % 999 + 1; };
    std::string dd;
    for (int k = 1; k <= slots; ++k) {
        dd += "dd if='" + image + "' of='" + store +
              "' bs=1474560 count=1 seek=" + std::to_string(quarnex::SlotOffset(slotOf(k))) +
              " oflag=seek_bytes conv=notrunc,fsync status=none; ";
    }
    const auto puts = [&](const std::string& extra) {
        std::string line;
        for (int k = 1; k <= slots; ++k) {
            line += "'" + cli + "' put '" + store + "' " + std::to_string(slotOf(k)) + " '" +
                    image + "' --yes " + extra + " > /dev/null; ";
        }
        return line;
    };
    const std::string verified = puts("");
    const std::string unverified = puts("--no-verify");
    TimedShell(dd);  // the first run pays for nothing the others do not

    const std::vector<double> best = BestTimes({{dd}, {verified}, {unverified}}, rounds);
    const double ddBest = best[0];
    const double verifiedBest = best[1];
    const double unverifiedBest = best[2];
    std::printf("dd, %d slots (conv=notrunc,fsync)     %8.3f s\n", slots, ddBest);
    std::printf("put, %d slots, read back              %8.3f s   ratio %.2f\n", slots, verifiedBest,
                ddBest / verifiedBest);
    std::printf("put, %d slots, --no-verify            %8.3f s   ratio %.2f\n", slots,
                unverifiedBest, ddBest / unverifiedBest);
    std::printf("(best of %d each; ratio = dd / quarnex-cli)\n", rounds);
    Remove(store);
    Remove(image);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: " << argv[0] << " DIR [ROUNDS] [SLOTS]\n";
        return 2;
    }
    try {
        return Run(argv[1], argc > 2 ? std::max(1, std::atoi(argv[2])) : 2,
                   argc > 3 ? std::max(1, std::atoi(argv[3])) : 20);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
}
