// quarnex-cli files put of 100 files of 10 KB into a blank 1.44 MB image
// file, timed as the user runs it (process start included), against dd
// writing the same 1,024,000 bytes into a file with a final fsync on the
// same file system:
//   dd if=DATA of=FILE bs=10k count=100 conv=fsync
// and, for reference, mtools' mcopy of the same files (which does not flush)
// and quarnex-cli files ls (the tool's start-up and one read of the volume).
// Best of ROUNDS runs each, every run into a fresh blank image; the ratio is
// dd's time / ours (1.0 = as fast). After the last run fsck.fat -n checks
// the image.
//
//   quarnex_cli_files_put_bench DIR [ROUNDS]
//
// quarnex-cli is taken from beside this program; deletes what it made.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>

#include "bench_world.hpp"
#include "platform/platform.hpp"

namespace {

using namespace quarnex::bench;

constexpr int kFiles = 100;
constexpr int kFileBytes = 10240;

int Run(const std::string& dir, int rounds) {
    const std::string cli = CliBesideThisProgram();
    const std::string work = dir + "/bench-files-put";
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work + "/in");
    std::string names;
    std::ofstream all(work + "/all.bin", std::ios::binary);
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "in/file " + std::to_string(i) + ".bin";
        std::string bytes(kFileBytes, static_cast<char>('a' + i % 26));
        std::ofstream(work + "/" + name, std::ios::binary) << bytes;
        all << bytes;
        names += " '" + name + "'";
    }
    all.close();
    const std::string blank = work + "/blank.img";
    const std::string image = work + "/volume.img";
    TimedShell("'" + cli + "' image new '" + blank + "' --id BENCH --yes > /dev/null");
    const std::string fresh = "cp '" + blank + "' '" + image + "' && ";
    const std::string put =
        "cd '" + work + "' && '" + cli + "' files put volume.img" + names + " > /dev/null";
    const std::string mcopy =
        "cd '" + work + "' && MTOOLS_SKIP_CHECK=1 mcopy -i volume.img" + names + " ::";
    const std::string dd = "dd if='" + work + "/all.bin' of='" + work +
                           "/dd.bin' bs=10k count=100 conv=fsync status=none";
    std::printf("quarnex-cli: %s\nfiles in: %s\n", cli.c_str(), work.c_str());

    TimedShell(dd);  // the first run pays for nothing the others do not
    // files ls: start-up and reading the volume, for scale.
    const std::vector<double> best =
        BestTimes({{dd},
                   {mcopy, fresh + "true"},
                   {put, fresh + "true"},
                   {"'" + cli + "' files ls '" + image + "' > /dev/null"}},
                  rounds);
    const double ddBest = best[0];
    const double mcopyBest = best[1];
    const double putBest = best[2];
    const double listBest = best[3];
    const bool clean = std::system(("fsck.fat -n '" + image + "' > /dev/null").c_str()) == 0;
    std::printf("dd (bs=10k count=100 conv=fsync)        %8.4f s\n", ddBest);
    std::printf("quarnex-cli files put, 100 x 10 KB      %8.4f s   ratio %.2f   fsck %s\n", putBest,
                ddBest / putBest, clean ? "clean" : "NOT CLEAN");
    std::printf("mcopy (no flush), same files            %8.4f s\n", mcopyBest);
    std::printf("quarnex-cli files ls of the result      %8.4f s\n", listBest);
    std::printf("(best of %d each; ratio = dd / quarnex-cli)\n", rounds);
    std::filesystem::remove_all(work);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return quarnex::bench::RunInDir(argc, argv, 5, Run);
}
