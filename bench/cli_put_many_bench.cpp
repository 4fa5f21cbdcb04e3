// quarnex-cli put of 100 image files into slots 1..100 of a whole-store
// image file in one run, timed as the user runs it (process start, the lock,
// loading the store and saving DISKS.TXT included), against 100 dd runs
// writing the same bytes to the same offsets of the same file:
//   dd if=N.img of=STORE bs=1474560 oflag=seek_bytes seek=N*1572864 conv=notrunc,fsync
// Best of ROUNDS runs each; the ratio is dd's time / ours (1.0 = as fast).
// After the last run every slot is compared with its file.
//
//   quarnex_cli_put_many_bench DIR [ROUNDS]
//
// quarnex-cli is taken from beside this program; deletes what it made.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <vector>

#include "bench_world.hpp"
#include "core/media_sizes.hpp"
#include "platform/platform.hpp"

namespace {

using namespace quarnex::bench;

constexpr int kImages = 100;

std::vector<char> Pattern(int image) {
    std::vector<char> bytes(quarnex::kImageBytes);
    std::uint32_t state = 2463534242u + static_cast<std::uint32_t>(image);
    for (char& byte : bytes) {  // xorshift: no zero runs for a sparse file to skip
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state | 1);
    }
    return bytes;
}

bool SlotsMatch(const std::string& store) {
    std::ifstream in(store, std::ios::binary);
    std::vector<char> slot(quarnex::kImageBytes);
    for (int n = 1; n <= kImages; ++n) {
        in.seekg(static_cast<std::streamoff>(quarnex::SlotOffset(n)));
        in.read(slot.data(), static_cast<std::streamsize>(slot.size()));
        if (slot != Pattern(n)) {
            return false;
        }
    }
    return true;
}

int Run(const std::string& dir, int rounds) {
    const std::string cli = CliBesideThisProgram();
    const std::string work = dir + "/bench-put-many";
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work);
    const std::string store = work + "/store.img";
    TimedShell("'" + cli + "' create '" + store + "' --id BENCH --base FD > /dev/null");
    std::string names;
    std::string dd = "true";
    for (int n = 1; n <= kImages; ++n) {
        const std::string name = work + "/" + std::to_string(n) + ".img";
        const std::vector<char> bytes = Pattern(n);
        std::ofstream(name, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        names += " '" + name + "'";
        dd += " && dd if='" + name + "' of='" + store +
              "' bs=1474560 oflag=seek_bytes seek=" + std::to_string(quarnex::SlotOffset(n)) +
              " conv=notrunc,fsync status=none";
    }
    const std::string putAll = "'" + cli + "' put '" + store + "' 1" + names + " --yes";
    const std::string put = putAll + " > /dev/null";
    std::printf("quarnex-cli: %s\nstore: %s\n", cli.c_str(), store.c_str());

    TimedShell(dd);  // the first run fills the store's holes for both
    const std::string unverified = putAll + " --no-verify > /dev/null";
    const std::vector<double> best = BestTimes({{dd}, {put}, {unverified}}, rounds);
    const double ddBest = best[0];
    const bool same = SlotsMatch(store);
    std::printf("100 x dd (bs=1474560 conv=notrunc,fsync)  %8.4f s\n", ddBest);
    std::printf("quarnex-cli put, 100 images in one run    %8.4f s   ratio %.2f (read back)\n",
                best[1], ddBest / best[1]);
    std::printf("the same with --no-verify                 %8.4f s   ratio %.2f   slots %s\n",
                best[2], ddBest / best[2], same ? "equal to the files" : "DIFFERENT");
    std::printf("(best of %d each; ratio = dd / quarnex-cli)\n", rounds);
    std::filesystem::remove_all(work);
    return same ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    return quarnex::bench::RunInDir(argc, argv, 3, Run);
}
