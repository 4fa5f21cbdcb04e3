// Whole-store backup (store -> file) and restore (file -> store) on a
// file-backed store, timed against dd moving the same bytes with the same
// block size and a final fsync, in the same run. Prints each time and the
// ratio dd time / our time (1.0 = as fast as dd).
//
//   quarnex_store_copy_bench DIR [ROUNDS]   compare with dd (needs ~4.7 GB in DIR)
//   quarnex_store_copy_bench DIR make       only create the store
//   quarnex_store_copy_bench DIR backup     one backup only, for peak-memory runs
//   quarnex_store_copy_bench DIR restore    one restore only (after a backup)
//   quarnex_store_copy_bench DIR clean      delete the store and the copy
//
// The comparison deletes its files at the end; the one-step modes leave them
// for the next step (see store_copy_bench.sh).

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_world.hpp"
#include "commands/main_commands.hpp"
#include "core/media_sizes.hpp"
#include "store/store_file_copy.hpp"

namespace {

using quarnex::bench::PeakKilobytes;
using quarnex::bench::Remove;
using quarnex::bench::Seconds;
using quarnex::bench::Timer;

struct Bench : quarnex::bench::BenchWorld {
    explicit Bench(const std::string& dir)
        : BenchWorld("bench-store.img", dir + "/bench-store.img"), dir(dir) {}

    std::string Store() const { return dir + "/bench-store.img"; }
    std::string Path(const std::string& name) const { return dir + "/" + name; }

    std::string dir;
};

// A store of 1000 slots with data in every byte, so no copy can skip holes.
void MakeStore(const std::string& path) {
    std::vector<char> slot(quarnex::kSlotStride);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (int n = 0; n < quarnex::kSlotCount; ++n) {
        for (std::size_t i = 0; i < slot.size(); ++i) {
            slot[i] = static_cast<char>((i * 131 + static_cast<std::size_t>(n) * 7) & 0xFF);
        }
        out.write(slot.data(), static_cast<std::streamsize>(slot.size()));
    }
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
    ::sync();
}

double RunDd(const std::string& from, const std::string& to, bool notrunc) {
    return quarnex::bench::TimedShell("dd if='" + from + "' of='" + to + "' bs=1572864 conv=fsync" +
                                      (notrunc ? ",notrunc" : "") + " status=none");
}

double RunBackup(Bench& b, const std::string& to) {
    std::string path = to;
    const auto start = Timer::now();
    if (!quarnex::BackupSelectedStore(b.ctx, path).copy.Complete()) {
        throw std::runtime_error("backup failed");
    }
    return Seconds(start);
}

double RunRestore(Bench& b, const std::string& from) {
    std::string path = from;
    const auto start = Timer::now();
    if (!quarnex::RestoreSelectedStore(b.ctx, path).Complete()) {
        throw std::runtime_error("restore failed");
    }
    return Seconds(start);
}

void Report(const char* what, double dd, double ours) {
    const double mb = static_cast<double>(quarnex::kStoreBytes) / 1e6;
    std::printf("%-8s dd %7.2f s (%6.1f MB/s)   quarnex %7.2f s (%6.1f MB/s)   ratio %.3f\n", what,
                dd, mb / dd, ours, mb / ours, dd / ours);
}

int Compare(Bench& b, int rounds) {
    MakeStore(b.Store());
    const std::string oursFile = b.Path("bench-ours.img");
    const std::string ddFile = b.Path("bench-dd.img");
    double ddBackup = 0, oursBackup = 0, ddRestore = 0, oursRestore = 0;
    for (int round = 0; round < rounds; ++round) {
        const double before[4] = {ddBackup, oursBackup, ddRestore, oursRestore};
        // Alternating the order cancels out whatever the first run warms up.
        Remove(oursFile);
        Remove(ddFile);
        if (round % 2 == 0) {
            ddBackup += RunDd(b.Store(), ddFile, false);
            oursBackup += RunBackup(b, oursFile);
        } else {
            oursBackup += RunBackup(b, oursFile);
            ddBackup += RunDd(b.Store(), ddFile, false);
        }
        if (round % 2 == 0) {
            ddRestore += RunDd(ddFile, b.Store(), true);
            oursRestore += RunRestore(b, oursFile);
        } else {
            oursRestore += RunRestore(b, oursFile);
            ddRestore += RunDd(ddFile, b.Store(), true);
        }
        std::printf("round %d: backup dd %.2f s quarnex %.2f s, restore dd %.2f s quarnex %.2f s\n",
                    round + 1, ddBackup - before[0], oursBackup - before[1], ddRestore - before[2],
                    oursRestore - before[3]);
        std::fflush(stdout);
    }
    std::printf("%d rounds of %llu bytes each way\n", rounds,
                static_cast<unsigned long long>(quarnex::kStoreBytes));
    Report("backup", ddBackup, oursBackup);
    Report("restore", ddRestore, oursRestore);
    std::printf("peak resident set of this process: %ld kB\n", PeakKilobytes());
    Remove(oursFile);
    Remove(ddFile);
    Remove(b.Path("bench-ours.txt"));
    Remove(b.Store());
    return b.ui.messages == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: " << argv[0] << " DIR [ROUNDS | backup | restore]\n";
        return 2;
    }
    try {
        Bench b(argv[1]);
        const std::string mode = argc > 2 ? argv[2] : "4";
        if (mode == "make") {
            MakeStore(b.Store());
            return 0;
        }
        if (mode == "clean") {
            for (const char* name : {"bench-store.img", "bench-ours.img", "bench-ours.txt"}) {
                Remove(b.Path(name));
            }
            return 0;
        }
        if (mode == "backup") {
            std::printf("backup %.2f s, peak %ld kB\n", RunBackup(b, b.Path("bench-ours.img")),
                        PeakKilobytes());
            return 0;
        }
        if (mode == "restore") {
            std::printf("restore %.2f s, peak %ld kB\n", RunRestore(b, b.Path("bench-ours.img")),
                        PeakKilobytes());
            return 0;
        }
        return Compare(b, std::max(1, std::atoi(mode.c_str())));
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
}
