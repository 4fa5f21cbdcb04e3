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

// A volume with a file in the root and one in a folder.
void Prepare(StoreWorld& w) {
    std::vector<std::byte> volume(fat12::kVolumeBytes);
    fat12::BuildBlankVolume(volume, "CRASH");
    ASSERT_EQ(ApplyStages(volume, StageFileWrite(volume, "OLD.TXT", std::string(3000, 'o'), {})),
              fat12::Status::Ok);
    ASSERT_EQ(ApplyStages(volume, StageMakeFolder(volume, "Sub", {})), fat12::Status::Ok);
    ASSERT_EQ(ApplyStages(volume,
                          StageFileWrite(volume, "Sub/inner file.txt", std::string(700, 'i'), {})),
              fat12::Status::Ok);
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
};

TEST(VolumeFilesCrash, AStopAtAnyWriteLeavesEachFileOldOrNewAndAtWorstLostClusters) {
    const auto target = [](StoreWorld& w) { return VolumeTarget{w.dir / kImage, std::nullopt}; };
    const std::vector<Change> changes = {
        {"put",
         [&](StoreWorld& w) {
             return PutFiles(w.ctx, target(w),
                             {{w.dir / "OLD.TXT", w.dir / "A new long name.txt"}, "", true});
         },
         {"OLD.TXT", "A new long name.txt"}},
        {"put into a folder",
         [&](StoreWorld& w) {
             return PutFiles(w.ctx, target(w), {{w.dir / "inner file.txt"}, "Sub", true});
         },
         {"Sub/inner file.txt"}},
        {"rm",
         [&](StoreWorld& w) {
             return RemoveFiles(w.ctx, target(w), {"Sub/inner file.txt", "Sub", "OLD.TXT"});
         },
         {"Sub/inner file.txt", "Sub", "OLD.TXT"}},
        {"mkdir",
         [&](StoreWorld& w) { return MakeVolumeFolder(w.ctx, target(w), "A new folder"); },
         {"A new folder"}},
    };
    for (const Change& change : changes) {
        StoreWorld whole;
        Prepare(whole);
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
            StoreWorld w;
            Prepare(w);
            w.devices.StopAtWrite(k + 1, kImage);
            change.run(w);
            for (std::size_t i = 0; i < change.paths.size(); ++i) {
                const std::string held = Held(w, change.paths[i]);
                EXPECT_TRUE(held == before[i] || held == Held(whole, change.paths[i]))
                    << change.paths[i] << ": " << held.substr(0, 40);
            }
            EXPECT_EQ(testing::FsckBeyondLostClusters(w.dir / kImage), "");
        }
    }
}

}  // namespace
}  // namespace quarnex
