// Files changed inside a floppy image stopped at every write, as if the
// program were killed: each file is old or new, and fsck.fat finds at worst
// clusters that no file uses.
#include <gtest/gtest.h>

#include <functional>

#include "fat12/fat12_volume.hpp"
#include "fat12/geometry.hpp"
#include "store/volume_files.hpp"
#include "store_world.hpp"

namespace quarnex {
namespace {

using fat12::ApplyStages;
using fat12::StageFileWrite;
using fat12::StageMakeFolder;

using testing::FaultOp;
using testing::StoreWorld;

constexpr const char* kImage = "floppy.img";

// A volume with a file in the root and one in a folder (room >= 0: bytes free).
void Prepare(StoreWorld& w, long room = -1) {
    std::vector<std::byte> volume(fat12::kVolumeBytes);
    fat12::BuildBlankVolume(volume, "CRASH");
    ASSERT_EQ(ApplyStages(volume, StageFileWrite(volume, "OLD.TXT", std::string(3000, 'o'), {})),
              fat12::Status::Ok);
    ASSERT_EQ(ApplyStages(volume, StageMakeFolder(volume, "Sub", {})), fat12::Status::Ok);
    ASSERT_EQ(ApplyStages(volume,
                          StageFileWrite(volume, "Sub/inner file.txt", std::string(700, 'i'), {})),
              fat12::Status::Ok);
    if (room >= 0) {
        const std::string fill(fat12::FreeBytes(volume) - static_cast<std::size_t>(room), 'f');
        ASSERT_EQ(ApplyStages(volume, StageFileWrite(volume, "FILL.BIN", fill, {})),
                  fat12::Status::Ok);
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(volume.data());
    testing::WriteFileBytes(w.dir / kImage, {bytes, bytes + volume.size()});
    testing::WriteFileText(w.dir / "OLD.TXT", std::string(5000, 'n'));
    testing::WriteFileText(w.dir / "A new long name.txt", "new file");
    testing::WriteFileText(w.dir / "inner file.txt", std::string(100, 'm'));
}

// What a path in the volume holds: its text, "<folder>" or "<absent>".
std::string Held(const StoreWorld& w, const std::string& path) {
    const std::vector<unsigned char> bytes = testing::ReadFileBytes(w.dir / kImage);
    const auto volume = std::as_bytes(std::span(bytes));
    const fat12::FileRead read = fat12::ReadFile(volume, path);
    if (read.status == fat12::Status::IsAFolder) {
        return "<folder>";
    }
    return read.status == fat12::Status::NotFound ? "<absent>"
           : read.status == fat12::Status::Ok     ? read.contents
                                                  : fat12::StatusText(read.status);
}

struct Change {
    const char* name;
    std::function<FilesResult(StoreWorld&)> run;
    std::vector<std::string> paths;  // in the volume: each old or new afterwards
    long room = -1;                  // bytes left free beforehand (as Prepare)
};

TEST(VolumeFilesCrash, AStopAtAnyWriteLeavesEachFileOldOrNewAndAtWorstLostClusters) {
    const auto target = [](StoreWorld& w) { return VolumeTarget{w.dir / kImage, std::nullopt}; };
    const auto put = [&](StoreWorld& w, std::vector<std::string> files, std::string folder) {
        return PutFiles(w.ctx, target(w), {std::move(files), std::move(folder), true, false, {}});
    };
    const std::vector<Change> changes = {
        {"put",
         [&](StoreWorld& w) {
             return put(w, {w.dir / "OLD.TXT", w.dir / "A new long name.txt"}, "");
         },
         {"OLD.TXT", "A new long name.txt"}},
        {"put into a folder",
         [&](StoreWorld& w) { return put(w, {w.dir / "inner file.txt"}, "Sub"); },
         {"Sub/inner file.txt"}},
        {"rm",
         [&](StoreWorld& w) {
             return RemoveFiles(w.ctx, target(w), {"Sub/inner file.txt", "Sub", "OLD.TXT"});
         },
         {"Sub/inner file.txt", "Sub", "OLD.TXT"}},
        {"mkdir",
         [&](StoreWorld& w) { return MakeVolumeFolder(w.ctx, target(w), "A new folder"); },
         {"A new folder"}},
        // The 5000 bytes take 10 clusters: just the room left beside the old 3000.
        {"put with just enough room beside the old file",
         [&](StoreWorld& w) { return put(w, {w.dir / "OLD.TXT"}, ""); },
         {"OLD.TXT"},
         5120},
    };
    for (const Change& change : changes) {
        StoreWorld whole;
        Prepare(whole, change.room);
        std::vector<std::string> before;
        for (const std::string& path : change.paths) {
            before.push_back(Held(whole, path));
        }
        ASSERT_TRUE(change.run(whole).Ok()) << change.name;
        const int writes = whole.devices.Count(FaultOp::Write, kImage);
        EXPECT_EQ(testing::FsckBeyondLostClusters(whole.dir / kImage), "");
        for (int k = 0; k < writes; ++k) {
            SCOPED_TRACE(std::string(change.name) + ", stopped after write " + std::to_string(k) +
                         " of " + std::to_string(writes));
            // Killed there, or failing with EIO: then each file is old or new, as reported.
            for (const bool killed : {true, false}) {
                StoreWorld w;
                Prepare(w, change.room);
                killed ? w.devices.StopAtWrite(k + 1, kImage)
                       : w.devices.Inject({FaultOp::Write, k + 1, kImage});
                const FilesResult result = change.run(w);
                EXPECT_EQ(result.failure, killed ? FilesFailure::None : FilesFailure::Write);
                for (std::size_t i = 0; i < change.paths.size(); ++i) {
                    const std::string held = Held(w, change.paths[i]);
                    EXPECT_TRUE(held == before[i] || held == Held(whole, change.paths[i]))
                        << change.paths[i] << ": " << held.substr(0, 40);
                }
                EXPECT_EQ(testing::FsckBeyondLostClusters(w.dir / kImage), "");
            }
        }
    }
}

}  // namespace
}  // namespace quarnex
