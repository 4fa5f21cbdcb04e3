#include "volume_fuzz.hpp"

#include <chrono>
#include <random>

#include "fat12/fat12_volume.hpp"
#include "fat12/fat_table.hpp"
#include "fat12/geometry.hpp"
#include "fat12/volume_check.hpp"

namespace quarnex::fat12 {
namespace {

using Image = std::vector<std::byte>;
// clang-format off
const std::string kPaths[] = {"DISKS.TXT", "B.TXT", "EMPTY", "Folder", "Folder/Inner file.bin",
                              "Folder/Sub", "Folder/Sub/deep.txt", "new.txt", "Folder/Sub/New"};
// clang-format on

// The 1.44 MB layout, or a small one (400 sectors, 2 per cluster, 64 root
// entries), holding files and folders in long and short names.
Image Base(bool small) {
    Image image(kVolumeBytes);
    BuildBlankVolume(image, "FUZZ");
    if (small) {
        image.resize(400 * 512);
        std::fill(image.begin() + 512, image.end(), std::byte{0});
        PutLe(image, 13, 2, 1);   // sectors per cluster
        PutLe(image, 17, 64, 2);  // root entries
        PutLe(image, 19, 400, 2);
        PutLe(image, 22, 1, 2);  // sectors per FAT
        PutLe(image, 512, 0xFFFFF0, 3);
        PutLe(image, 1024, 0xFFFFF0, 3);
    }
    const auto apply = [&](const ReplaceStages& stages) { ApplyStages(image, stages); };
    apply(StageFileWrite(image, "DISKS.TXT", std::string(2000, 'd'), {}));
    apply(StageFileWrite(image, "B.TXT", "b", {}));
    apply(StageFileWrite(image, "EMPTY", "", {}));
    apply(StageMakeFolder(image, "Folder", {}));
    apply(StageFileWrite(image, "Folder/Inner file.bin", std::string(3000, 'i'), {}));
    apply(StageMakeFolder(image, "Folder/Sub", {}));
    for (int i = 0; i < 20; ++i) {  // enough to make the folder span clusters
        apply(StageFileWrite(image, "Folder/Sub/File " + std::to_string(i), "f", {}));
    }
    apply(StageFileWrite(image, "Folder/Sub/deep.txt", "deep", {}));
    return image;
}

class FuzzCase {
  public:
    explicit FuzzCase(std::uint64_t number) : random_(number) {}

    unsigned Pick(std::uint64_t below) { return static_cast<unsigned>(random_() % below); }

    // A value that tends to sit on a boundary of a field of max or cluster.
    std::uint64_t Edge(std::uint64_t max, unsigned last) {
        const std::uint64_t values[] = {0, 1, 2, last, last + 1, 0xFF7, 0xFF8, 0xFFF, max};
        return Pick(3) == 0 ? random_() % (max + 1) : values[Pick(std::size(values))];
    }

    void Damage(Image& image, const Layout& layout) {
        const unsigned last = layout.lastCluster;
        switch (Pick(5)) {
            case 0: {  // a boot sector field
                const std::size_t fields[][2] = {{11, 2}, {13, 1}, {14, 2}, {16, 1}, {17, 2},
                                                 {19, 2}, {21, 1}, {22, 2}, {32, 4}, {510, 2}};
                const auto& field = fields[Pick(std::size(fields))];
                PutLe(image, field[0], Edge((1ull << (8 * field[1])) - 1, last), field[1]);
                break;
            }
            case 1: {  // a FAT entry, often one in use, in one or every copy
                const unsigned cluster = Pick(2) == 0 ? Pick(40) : Pick(last + 3);
                const unsigned values[] = {cluster, cluster - 1, cluster + 1,
                                           static_cast<unsigned>(Edge(0xFFF, last))};
                Layout copies = layout;
                copies.fatCount = Pick(4) == 0 ? 1 : layout.fatCount;
                SetFatEntries(copies, image, cluster % (last + 1), values[Pick(4)] & 0xFFF);
                break;
            }
            case 2: {  // a field of a directory entry in the root or a folder
                const std::size_t entry = (Pick(2) == 0 ? layout.rootOffset + 32 * Pick(8)
                                                        : layout.ClusterOffset(2 + Pick(12)) +
                                                              32 * Pick(layout.clusterBytes / 32));
                const std::size_t fields[][2] = {{0, 1}, {11, 1}, {26, 2}, {28, 4}, {12, 1}};
                const auto& field = fields[Pick(std::size(fields))];
                const std::uint64_t names[] = {0, 0xE5, '.', 0x05, 0x20, 'A'};
                PutLe(image, entry + field[0],
                      field[0] == 0 ? names[Pick(6)] : Edge((1ull << (8 * field[1])) - 1, last),
                      field[1]);
                break;
            }
            default:  // any byte of the system area or the first clusters
                image[Pick(std::min(image.size(), layout.dataOffset + 16 * layout.clusterBytes))] =
                    std::byte{static_cast<unsigned char>(Pick(256))};
        }
    }

  private:
    std::mt19937_64 random_;
};

// Lists every folder it reaches and reads every file; on a sound volume none
// of that may find damage.
bool ReadsFindDamage(const Image& image, const std::string& path, int depth) {
    const Listing listing = ListDirectory(image, path);
    bool damage = listing.status == Status::Damaged;
    for (const DirectoryItem& item : listing.items) {
        const std::string inner = path + "/" + item.name;
        if (item.name == "." || item.name == ".." || depth == 0) {
            continue;
        }
        damage = (item.directory ? ReadsFindDamage(image, inner, depth - 1)
                                 : ReadFile(image, inner).status == Status::Damaged) ||
                 damage;
    }
    return damage;
}

// One change, refused unless the volume was sound; an accepted one must
// leave a sound volume with the change in it.
std::string WriteFault(FuzzCase& random, Image& image, bool sound, bool& written) {
    const std::string& path = kPaths[random.Pick(std::size(kPaths))];
    const std::string contents((std::size_t{1} << random.Pick(19)) - 1, 'w');
    const unsigned kind = random.Pick(4);
    const ReplaceStages stages = kind == 0   ? StageFileWrite(image, path, contents, {})
                                 : kind == 1 ? StageMakeFolder(image, path, {})
                                 : kind == 2
                                     ? StageRemove(image, path)
                                     : StageRootFileReplace(image, "DISKS.TXT", contents, {});
    written = stages.status == Status::Ok;
    if (!written || !sound) {
        return written ? "a write was accepted on a volume that fails the checks" : "";
    }
    ApplyStages(image, stages);
    if (const VolumeCheck after = CheckForWriting(image); after.status != Status::Ok) {
        return "a write left a volume that fails the checks: " + after.detail;
    }
    const bool fileWrite = kind == 0 || kind == 3;
    const FileRead read = ReadFile(image, kind == 3 ? "DISKS.TXT" : path);
    const Listing listing = ListDirectory(image, path);
    if ((fileWrite && read.contents != contents) || (kind == 1 && listing.status != Status::Ok) ||
        (kind == 2 && read.status != Status::NotFound)) {
        return "a write did not do what it said";
    }
    return {};
}

}  // namespace

void PutLe(Image& image, std::size_t at, std::uint64_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes && at + i < image.size(); ++i) {
        image[at + i] = std::byte{static_cast<unsigned char>(value >> (8 * i))};
    }
}

FuzzTally RunVolumeFuzz(std::uint64_t first, std::uint64_t count) {
    static const Image bases[] = {Base(false), Base(true)};
    FuzzTally tally;
    for (std::uint64_t number = first; number < first + count; ++number) {
        const auto start = std::chrono::steady_clock::now();
        FuzzCase random(number);
        Image image = bases[random.Pick(8) == 0 ? 0 : 1];
        const Layout layout = *ReadLayout(image).layout;
        for (unsigned hits = 1 + random.Pick(4); hits > 0; --hits) {
            random.Damage(image, layout);
        }
        const bool readable = CheckForReading(image).status == Status::Ok;
        const bool sound = CheckForWriting(image).status == Status::Ok;
        const bool readDamage = ReadsFindDamage(image, "", 8);
        ReadRootFile(image, "DISKS.TXT");
        std::string fault =
            sound && readDamage ? "a read found damage on a volume that passes the checks" : "";
        bool written = false;
        if (fault.empty()) {
            fault = WriteFault(random, image, sound, written);
        }
        if (!fault.empty()) {
            tally.faults.push_back("case " + std::to_string(number) + ": " + fault);
        }
        ++tally.cases;
        tally.readable += readable ? 1 : 0;
        tally.sound += sound ? 1 : 0;
        tally.written += written ? 1 : 0;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        tally.slowestSeconds = std::max(tally.slowestSeconds, took.count());
    }
    return tally;
}

}  // namespace quarnex::fat12
