// Volumes made by the standard tools in several layouts, holding long names
// and folders: the engine lists and reads them as mtools does, and what it
// writes passes fsck.fat and reads back the same with mtools.
#include <gtest/gtest.h>

#include <set>

#include "fat12/fat12_volume.hpp"
#include "store/store_world.hpp"

namespace quarnex::fat12 {
namespace {

using Image = std::vector<std::byte>;

// "::/Sub/", "::/Sub/file.txt": every folder and file, as mdir -/ -b names them.
void Walk(std::span<const std::byte> image, const std::string& path, std::set<std::string>& out) {
    const Listing listing = ListDirectory(image, path);
    ASSERT_EQ(listing.status, Status::Ok) << path << listing.detail;
    for (const DirectoryItem& item : listing.items) {
        if (item.name != "." && item.name != "..") {
            const std::string inner = path + "/" + item.name;
            out.insert("::" + inner + (item.directory ? "/" : ""));
            if (item.directory) {
                Walk(image, inner, out);
            }
        }
    }
}

// The engine and mtools agree on every name and every file's bytes.
void ExpectToolsAgree(const std::string& file, std::span<const std::byte> image) {
    std::set<std::string> ours;
    Walk(image, "", ours);
    EXPECT_EQ(ours, testing::MtoolsPaths(file));
    for (const std::string& path : ours) {
        if (!path.ends_with("/")) {
            EXPECT_EQ(ReadFile(image, path.substr(2)).contents,
                      testing::Mtools("mtype -i " + file + " '" + path + "'"))
                << path;
        }
    }
}

Image Apply(Image image, const ReplaceStages& stages) {
    EXPECT_EQ(stages.status, Status::Ok) << stages.detail;
    ApplyStages(image, stages);
    return image;
}

TEST(VolumeLayouts, ToolMadeVolumesAreListedReadAndWrittenAsTheToolsSeeThem) {
    if (!testing::HaveTools({"mkfs.fat", "mformat", "mdir", "mtype", "fsck.fat"})) {
        GTEST_SKIP() << "dosfstools or mtools not installed";
    }
    const std::string layouts[] = {"mkfs.fat -C v.img 1440 -s 2",
                                   "mkfs.fat -C v.img 1440 -r 512 -s 4",
                                   "mkfs.fat -C v.img 1440 -R 4 -s 64",
                                   "mkfs.fat -C v.img 1200",
                                   "mkfs.fat -C v.img 1680",
                                   "mformat -C -i v.img -f 1440 ::",
                                   "mformat -C -i v.img -f 1200 ::"};
    const Stamp now = MakeStamp(2026, 3, 14, 15, 9, 27.5);
    for (const std::string& layout : layouts) {
        SCOPED_TRACE(layout);
        testing::TempDir dir;
        const std::string file = dir / "v.img";
        testing::WriteFileBytes(dir / "long name.txt", testing::Pattern(0, 5000, 1));
        testing::WriteFileText(dir / "UPPER.TXT", "upper");
        testing::Mtools("cd " + dir.Path() + " && " + layout + " >/dev/null && mmd -i v.img " +
                        "::/Sub ::/Sub/Deeper && mcopy -i v.img 'long name.txt' UPPER.TXT " +
                        "::/Sub && mcopy -i v.img UPPER.TXT ::/Sub/Deeper/lower.txt");
        Image image = testing::ReadVolume(file);
        ExpectToolsAgree(file, image);

        image = Apply(image, StageFileWrite(image, "sub/LONG NAME.TXT", "replaced", now));
        image = Apply(image, StageMakeFolder(image, "A new folder", now));
        image = Apply(image, StageRemove(image, "Sub/UPPER.TXT"));
        // Enough long names to make a folder of one cluster grow.
        for (int i = 0; i < 20; ++i) {
            const std::string name = "Sub/Deeper/File number " + std::to_string(i) + ".data";
            image = Apply(image, StageFileWrite(image, name, std::string(700u * i, 'a' + i), now));
        }
        image = Apply(image, StageFileWrite(image, "A new folder/Mixed.Txt", "m", now));
        testing::WriteFileBytes(file, testing::BytesOf(image, 0, image.size()));
        std::string fsck;
        EXPECT_EQ(testing::RunCommand("fsck.fat -n " + file, &fsck), 0) << fsck;
        ExpectToolsAgree(file, image);
        EXPECT_EQ(testing::Mtools("mtype -i " + file + " '::/sub/long name.txt'"), "replaced");
        EXPECT_EQ(ListDirectory(image, "A NEW FOLDER").items.at(2).created.hundredths, 150);
    }
}

// Short names made for long ones, and the case bits of 8.3 names in one case.
TEST(VolumeLayouts, NamesGetShortFormsOtherSystemsRead) {
    Image image(1474560);
    BuildBlankVolume(image, "");
    const std::pair<std::string, std::string> cases[] = {
        {"DISKS.TXT", "DISKS.TXT"},
        {"disks.txt", "DISKS.TXT"},
        {"Disks.Txt", "DISKS.TXT"},
        {"A long name.text", "ALONGN~1.TEX"},
        {"A long name.textual", "ALONGN~2.TEX"},
        {".profile", "PROFIL~1"},
        {"a+b.c.d", "A_BC~1.D"},
        {"\xC3\xA9t\xC3\xA9.txt", "\xC3\xA9t\xC3\xA9.txt"},  // code page 850, lower case
        {"\xE2\x82\xACuro.txt", "_URO~1.TXT"}};              // the euro sign is not in it
    for (const auto& [name, shortName] : cases) {
        image = Apply(image, StageFileWrite(image, name, name, {}));
    }
    const Listing listing = ListDirectory(image, "");
    ASSERT_EQ(listing.items.size(), std::size(cases) - 2) << "three spellings of one file";
    for (const DirectoryItem& item : listing.items) {
        EXPECT_EQ(ReadFile(image, item.shortName).contents, ReadFile(image, item.name).contents);
    }
    EXPECT_EQ(listing.items[0].name, "DISKS.TXT") << "the first spelling stays";
    EXPECT_EQ(ReadFile(image, "DISKS.TXT").contents, "Disks.Txt") << "the last contents";
    for (std::size_t i = 1; i < listing.items.size(); ++i) {
        EXPECT_EQ(std::pair(listing.items[i].name, listing.items[i].shortName), cases[i + 2]);
    }
    Image lower(1474560);
    BuildBlankVolume(lower, "");
    lower = Apply(lower, StageFileWrite(lower, "readme.TXT", "", {}));
    EXPECT_EQ(ListDirectory(lower, "").items[0].name, "readme.TXT") << "case bits, no long name";
    for (const std::string& bad : {std::string("a*b"), std::string("a:b"), std::string("end."),
                                   std::string(""), std::string(256, 'n')}) {
        EXPECT_EQ(StageFileWrite(lower, bad, "", {}).status, Status::BadName) << bad;
    }
}

}  // namespace
}  // namespace quarnex::fat12
