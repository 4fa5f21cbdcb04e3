// The long run of random damage to FAT12 volumes (the tests run a short one).
// Usage: quarnex_volume_fuzz [cases, default 1000000] [first case, default 1]
// Prints the tally after every 10,000 cases and any fault; exits 1 when
// there was one.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "fat12/volume_fuzz.hpp"

int main(int argc, char** argv) {
    const std::uint64_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
    const std::uint64_t first = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
    const auto start = std::chrono::steady_clock::now();
    quarnex::fat12::FuzzTally total;
    for (std::uint64_t at = first; at < first + count;) {
        const std::uint64_t chunk = std::min<std::uint64_t>(10000, first + count - at);
        const quarnex::fat12::FuzzTally tally = quarnex::fat12::RunVolumeFuzz(at, chunk);
        at += chunk;
        total.cases += tally.cases;
        total.readable += tally.readable;
        total.sound += tally.sound;
        total.written += tally.written;
        total.slowestSeconds = std::max(total.slowestSeconds, tally.slowestSeconds);
        total.faults.insert(total.faults.end(), tally.faults.begin(), tally.faults.end());
        for (const std::string& fault : tally.faults) {
            std::printf("%s\n", fault.c_str());
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf(
            "cases %llu (from %llu), readable %llu, sound %llu, written %llu, faults %zu; "
            "%.1f s, slowest case %.1f ms\n",
            static_cast<unsigned long long>(total.cases), static_cast<unsigned long long>(first),
            static_cast<unsigned long long>(total.readable),
            static_cast<unsigned long long>(total.sound),
            static_cast<unsigned long long>(total.written), total.faults.size(), took.count(),
            total.slowestSeconds * 1000);
        std::fflush(stdout);
    }
    return total.faults.empty() ? 0 : 1;
}
