// Find across a store whose 999 slots each hold 20 files in 4 folders (a
// label, 4 folders of 5 files of 3 KB): the time of FindInStore and the
// bytes it read, counted at the device backend. Best of ROUNDS runs; the
// bytes are the same every run. The store is a sparse file in DIR, deleted
// afterwards.
//
//   quarnex_store_find_bench DIR [ROUNDS]

#include <algorithm>
#include <fstream>
#include <iostream>
#include <limits>

#include "bench_world.hpp"
#include "core/text.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/fat_table.hpp"
#include "fat12/geometry.hpp"
#include "fat12/volume_layout.hpp"
#include "ports/forwarding_backend.hpp"
#include "store/store_find.hpp"

namespace {

using namespace quarnex;
using namespace quarnex::bench;

constexpr int kFolders = 4;
constexpr int kFilesPerFolder = 5;
constexpr std::size_t kFileBytes = 3000;

// Counts every byte read through the files it opens.
class CountingFile final : public ForwardingFile {
  public:
    CountingFile(std::unique_ptr<DeviceFile> inner, std::uint64_t& bytes, long& reads)
        : ForwardingFile(std::move(inner)), bytes_(bytes), reads_(reads) {}
    IoResult Read(std::byte* destination, std::size_t count) override {
        const IoResult read = ForwardingFile::Read(destination, count);
        bytes_ += read.bytes;
        ++reads_;
        return read;
    }

  private:
    std::uint64_t& bytes_;
    long& reads_;
};

class CountingBackend final : public ForwardingBackend {
  public:
    using ForwardingBackend::ForwardingBackend;
    OpenResult Open(const std::string& path, Access access, Disposition disposition) override {
        OpenResult opened = Inner().Open(path, access, disposition);
        if (opened.file != nullptr) {
            opened.file = std::make_unique<CountingFile>(std::move(opened.file), bytes, reads);
        }
        return opened;
    }

    std::uint64_t bytes = 0;
    long reads = 0;
};

// One slot's volume; returns how many bytes from its start hold anything.
std::size_t BuildVolume(std::vector<std::byte>& image, int slot) {
    fat12::BuildBlankVolume(image, "BENCH" + ThreeDigits(slot));
    const fat12::Stamp now{};
    const std::string data(kFileBytes, static_cast<char>('a' + slot % 26));
    for (int f = 0; f < kFolders; ++f) {
        const std::string folder = "Folder " + std::to_string(f);
        fat12::ApplyStages(image, fat12::StageMakeFolder(image, folder, now));
        for (int i = 0; i < kFilesPerFolder; ++i) {
            const std::string path = folder + "/Program file " + std::to_string(i) + ".dat";
            if (fat12::ApplyStages(image, fat12::StageFileWrite(image, path, data, now)) !=
                fat12::Status::Ok) {
                throw std::runtime_error("cannot build the volume");
            }
        }
    }
    // Up to the last cluster in use: the rest of the slot stays sparse.
    const fat12::Layout layout = *fat12::ReadLayout(image).layout;
    unsigned last = fat12::kFirstCluster;
    for (unsigned cluster = fat12::kFirstCluster; cluster <= layout.lastCluster; ++cluster) {
        if (fat12::FatEntry(layout, image, cluster) != fat12::kFreeCluster) {
            last = cluster;
        }
    }
    return layout.ClusterOffset(last) + layout.clusterBytes;
}

int Run(const std::string& dir, int rounds) {
    const std::string store = dir + "/bench-find-store.img";
    {
        std::ofstream file(store, std::ios::binary | std::ios::trunc);
        std::filesystem::resize_file(store, kStoreBytes);
        std::vector<std::byte> image(kImageBytes);
        for (int slot = 1; slot < kSlotCount; ++slot) {
            const std::size_t used = BuildVolume(image, slot);
            file.seekp(static_cast<std::streamoff>(SlotOffset(slot)));
            file.write(reinterpret_cast<const char*>(image.data()),
                       static_cast<std::streamsize>(used));
        }
        if (!file.flush()) {
            throw std::runtime_error("cannot write " + store);
        }
    }
    BenchWorld w("bench", store);
    CountingBackend counting(w.devices);
    Context ctx{w.state, counting, w.drives, w.ui, w.clock, w.progress};
    double best = std::numeric_limits<double>::max();
    std::size_t matches = 0;
    for (int round = 0; round < rounds; ++round) {
        counting.bytes = 0;
        counting.reads = 0;
        const auto start = Timer::now();
        const FindResult found = FindInStore(ctx, w.state.SelectedStore(), "program file 4*");
        best = std::min(best, Seconds(start));
        if (!found.result.Complete()) {
            throw std::runtime_error("the search did not complete");
        }
        matches = found.matches.size();
    }
    Remove(store);
    const double wholeSlots = static_cast<double>(kImageBytes) * (kSlotCount - 1);
    std::cout << "find across 999 slots of " << kFolders * kFilesPerFolder
              << " files in folders: " << best << " s (best of " << rounds << "), " << matches
              << " matches\n"
              << "read " << counting.bytes << " bytes in " << counting.reads << " reads ("
              << static_cast<double>(counting.bytes) / (kSlotCount - 1) << " per slot, "
              << 100.0 * static_cast<double>(counting.bytes) / wholeSlots
              << " % of the 999 slot images)\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return quarnex::bench::RunInDir(argc, argv, 3, Run);
}
