// Whole-store format and Disk-ID loading, timed against dd doing the same
// device work in the same run:
// - format: dd writes 1000 slots of zeros from /dev/zero with the slot as its
//   block size and a final fsync; the format writes the same 1,572,864,000
//   bytes from its one slot buffer and flushes.
// - Disk IDs: the 512-byte boot sector of each of the 1000 slots, read once
//   with a warm and once with a cold page cache; against one dd per sector
//   (what a script would do) and against bare pread calls on one descriptor
//   (the least any program can do).
// Each ratio is baseline time / our time: 1.0 means as fast as the baseline.
//
//   quarnex_store_format_bench DIR [ROUNDS]        store as a sparse file in DIR
//   quarnex_store_format_bench DIR [ROUNDS] loop   the same file behind a loop device (root)
//
// Needs 1.6 GB free in DIR; deletes everything it made at the end.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <vector>

#include "bench_world.hpp"
#include "commands/main_commands.hpp"
#include "core/media_sizes.hpp"
#include "fat12/fat12_volume.hpp"
#include "store/disk_ids.hpp"
#include "store/format_usb.hpp"
#include "support/loop_device.hpp"

namespace {

using namespace quarnex;
using namespace quarnex::bench;

void MakeSparse(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::ftruncate(fd, static_cast<off_t>(kStoreBytes)) != 0) {
        throw std::runtime_error("cannot create " + path);
    }
    ::close(fd);
}

void InstallTemplate(const std::string& dir) {
    std::vector<std::byte> volume(kImageBytes);
    fat12::BuildBlankVolume(volume, "TEMPLATE");
    std::filesystem::create_directories(dir + "/QuarnCfg");
    std::ofstream out(dir + "/QuarnCfg/FAT12.144", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(volume.data()),
              static_cast<std::streamsize>(volume.size()));
    if (!out) {
        throw std::runtime_error("cannot write the template");
    }
}

// Drops the cached pages of each path, after writing back what is dirty.
void DropCaches(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::fdatasync(fd);
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }
}

double RunFormat(BenchWorld& w) {
    const auto start = Timer::now();
    if (!FormatSelectedStore(w.ctx, FormatRequest{"BENCH", "FDISK", true}).Complete() ||
        w.ui.messages != 0) {
        throw std::runtime_error("format failed");
    }
    return Seconds(start);
}

double RunDdFormat(const std::string& target) {
    return TimedShell("dd if=/dev/zero of='" + target +
                      "' bs=1572864 count=1000 conv=fsync,notrunc status=none");
}

double RunLoadDiskIds(BenchWorld& w) {
    const auto start = Timer::now();
    const Outcome loaded = LoadDiskIds(w.ctx, w.state.SelectedStore());
    const double seconds = Seconds(start);
    if (loaded != Outcome::Complete || w.state.slotTable.Slot(999).diskId != "FDISK999   ") {
        throw std::runtime_error("Disk IDs not loaded as formatted");
    }
    return seconds;
}

double RunDdSectors(const std::string& target) {
    return TimedShell("for n in $(seq 0 999); do dd if='" + target +
                      "' bs=512 count=1 skip=$((n * 3072)) status=none; done > /dev/null");
}

double RunPreadSectors(const std::string& target) {
    const auto start = Timer::now();
    const int fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
    std::array<char, 512> sector{};
    for (int n = 0; fd >= 0 && n < kSlotCount; ++n) {
        if (::pread(fd, sector.data(), sector.size(), static_cast<off_t>(SlotOffset(n))) != 512) {
            throw std::runtime_error("pread failed");
        }
    }
    if (fd < 0) {
        throw std::runtime_error("cannot open " + target);
    }
    ::close(fd);
    return Seconds(start);
}

void Report(const char* what, const char* baseline, double theirs, double ours, int rounds) {
    std::printf("%-22s %-6s %9.4f s   quarnex %9.4f s   ratio %.3f   (%d rounds)\n", what, baseline,
                theirs / rounds, ours / rounds, theirs / ours, rounds);
}

int Run(const std::string& dir, int rounds, bool onLoop) {
    const std::string store = dir + "/bench-format-store.img";
    MakeSparse(store);
    InstallTemplate(dir);
    std::optional<testing::LoopDevice> loop;
    if (onLoop) {
        loop.emplace(store);
        if (!loop->Attached()) {
            throw std::runtime_error("cannot attach a loop device: " + loop->Problem());
        }
    }
    const std::string target = onLoop ? loop->Path() : store;
    BenchWorld w(target, target);
    w.state.appFolder = dir + "/";
    std::printf("store: %s%s\n", target.c_str(), onLoop ? (" over " + store).c_str() : "");

    // The first write of a sparse file allocates its blocks; neither side
    // should pay for that.
    RunDdFormat(target);
    double ddFormat = 0, oursFormat = 0;
    for (int round = 0; round < rounds; ++round) {
        // Alternating the order cancels out whatever the first run warms up.
        const double a = round % 2 == 0 ? RunDdFormat(target) : RunFormat(w);
        const double b = round % 2 == 0 ? RunFormat(w) : RunDdFormat(target);
        const double dd = round % 2 == 0 ? a : b;
        const double ours = round % 2 == 0 ? b : a;
        ddFormat += dd;
        oursFormat += ours;
        std::printf("round %d: format dd %.2f s quarnex %.2f s\n", round + 1, dd, ours);
        std::fflush(stdout);
    }
    RunFormat(w);  // the Disk-ID runs below read what the format wrote

    const std::vector<std::string> cached =
        onLoop ? std::vector<std::string>{target, store} : std::vector<std::string>{store};
    double dd[2] = {0, 0}, bare[2] = {0, 0}, ours[2] = {0, 0};
    for (int cold = 0; cold < 2; ++cold) {
        for (int round = 0; round < rounds; ++round) {
            const auto timed = [&](double& sum, const auto& run) {
                if (cold != 0) {
                    DropCaches(cached);
                }
                sum += run();
            };
            const auto runOurs = [&] { timed(ours[cold], [&] { return RunLoadDiskIds(w); }); };
            const auto runBare = [&] {
                timed(bare[cold], [&] { return RunPreadSectors(target); });
            };
            const auto runDd = [&] { timed(dd[cold], [&] { return RunDdSectors(target); }); };
            if (round % 2 == 0) {
                runOurs();
                runBare();
                runDd();
            } else {
                runDd();
                runBare();
                runOurs();
            }
        }
    }

    std::printf("\n%llu bytes per format\n", static_cast<unsigned long long>(kStoreBytes));
    Report("format", "dd", ddFormat, oursFormat, rounds);
    Report("LoadDiskIds warm", "dd", dd[0], ours[0], rounds);
    Report("LoadDiskIds warm", "pread", bare[0], ours[0], rounds);
    Report("LoadDiskIds cold", "dd", dd[1], ours[1], rounds);
    Report("LoadDiskIds cold", "pread", bare[1], ours[1], rounds);
    std::printf("peak resident set of this process: %ld kB\n", PeakKilobytes());

    loop.reset();
    Remove(store);
    Remove(dir + "/QuarnCfg/FAT12.144");
    std::error_code ec;
    std::filesystem::remove(dir + "/QuarnCfg", ec);
    return w.ui.messages == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: " << argv[0] << " DIR [ROUNDS] [loop]\n";
        return 2;
    }
    try {
        const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
        const bool onLoop = argc > 3 && std::string(argv[3]) == "loop";
        return Run(argv[1], rounds, onLoop);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
}
