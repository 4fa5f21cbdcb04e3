// quarnex-cli export of 100 used slots of a whole-store image file into a
// folder, timed as the user runs it (process start, the lock, loading the
// store, finding the used slots and writing descriptions.txt included),
// against 100 dd runs copying the same slots into 100 files:
//   dd if=STORE of=N.img bs=1474560 count=1 iflag=skip_bytes skip=N*1572864 conv=fsync
// Best of ROUNDS runs each; the ratio is dd's time / ours (1.0 = as fast).
// After the last run every file is compared with the one dd wrote.
//
//   quarnex_cli_export_bench DIR [ROUNDS]
//
// quarnex-cli is taken from beside this program; deletes what it made.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

#include "bench_world.hpp"
#include "core/media_sizes.hpp"
#include "core/text.hpp"

namespace {

using namespace quarnex::bench;

constexpr int kSlots = 100;

std::vector<char> Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int Run(const std::string& dir, int rounds) {
    const std::string cli = CliBesideThisProgram();
    const std::string work = dir + "/bench-export";
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work + "/dd");
    const std::string store = work + "/store.img";
    const std::string image = work + "/image.img";
    TimedShell("'" + cli + "' create '" + store + "' --id BENCH --base FD > /dev/null");
    // Random images: no zero runs for a sparse file to skip, and each slot
    // counts as used (it no longer holds an empty volume).
    std::string fill = "true";
    std::string dd = "true";
    for (int n = 1; n <= kSlots; ++n) {
        const std::string offset = std::to_string(quarnex::SlotOffset(n));
        fill += " && head -c 1474560 /dev/urandom | dd of='" + store +
                "' bs=1474560 iflag=fullblock oflag=seek_bytes seek=" + offset +
                " conv=notrunc status=none";
        dd += " && dd if='" + store + "' of='" + work + "/dd/" + quarnex::ThreeDigits(n) +
              ".img' bs=1474560 count=1 iflag=skip_bytes skip=" + offset +
              " conv=fsync status=none";
    }
    TimedShell(fill);
    const std::string out = work + "/out";
    const std::string exporting = "'" + cli + "' export '" + store + "' '" + out + "' > /dev/null";
    std::printf("quarnex-cli: %s\nstore: %s\n", cli.c_str(), store.c_str());

    TimedShell(dd);  // the first run pays for nothing the others do not
    const std::vector<double> best = BestTimes({{dd}, {exporting, "rm -rf '" + out + "'"}}, rounds);
    bool same = true;
    for (int n = 1; n <= kSlots && same; ++n) {
        const std::string name = "/" + quarnex::ThreeDigits(n) + ".img";
        same = Contents(out + name) == Contents(work + "/dd" + name);
    }
    same = same && !std::filesystem::exists(out + "/101.img");
    std::printf("100 x dd (bs=1474560 count=1 conv=fsync)  %8.4f s\n", best[0]);
    std::printf("quarnex-cli export, 100 used slots        %8.4f s   ratio %.2f   files %s\n",
                best[1], best[0] / best[1], same ? "equal to dd's" : "DIFFERENT");
    std::printf("(best of %d each; ratio = dd / quarnex-cli)\n", rounds);
    std::filesystem::remove_all(work);
    return same ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    return quarnex::bench::RunInDir(argc, argv, 3, Run);
}
