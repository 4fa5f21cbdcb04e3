// The internal image's contents window, in plain code: changes that fsck.fat
// and mtools see in the image's bytes, refusals that leave the bytes as they
// were, and the notes shown. (Rows and folders: the GUI's contents test.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <tuple>

#include "commands/image_changes.hpp"
#include "commands/image_contents.hpp"
#include "commands/main_commands.hpp"
#include "commands/status.hpp"
#include "core/text.hpp"
#include "store/store_world.hpp"

namespace quarnex::testing {
namespace {

using Rows = std::vector<std::vector<std::string>>;

struct ContentsWorld : TestWorld {
    // A volume made by mkfs.fat and filled by mtools: a long name in the
    // root and a file in a subfolder.
    ContentsWorld() {
        tools = HaveTools({"mkfs.fat", "mcopy", "mmd", "mdir", "mtype", "fsck.fat"});
        if (!tools) {
            return;
        }
        WriteFileText(dir / "A long file name.txt", std::string(1234, 'x'));
        WriteFileText(dir / "inner.bin", "inner");
        Mtools("mkfs.fat -C " + Volume() + " 1440 >/dev/null && mmd -i " + Volume() +
               " '::/Sub Folder' && mcopy -i " + Volume() + " '" + dir / "A long file name.txt" +
               "' :: && mcopy -i " + Volume() + " '" + dir / "inner.bin" + "' '::/Sub Folder'");
        Load();
    }
    std::string Volume() const { return dir / "v.img"; }
    void Load() {
        const std::vector<unsigned char> bytes = ReadFileBytes(Volume());
        std::memcpy(state.imageBuffer.Span().data(), bytes.data(), kImageBytes);
    }
    // The internal image back into the file, for the tools.
    void Save() { WriteFileBytes(Volume(), BytesOf(state.imageBuffer.Span(), 0, kImageBytes)); }
    Bytes Image() { return BytesOf(state.imageBuffer.Span(), 0, kImageBytes); }
    Rows Shown() const {
        Rows rows;
        for (const ContentsRow& row : contents.Rows()) {
            rows.push_back({row.name, row.size, row.date, row.attributes});
        }
        return rows;
    }
    std::string Host(const std::string& name, const std::string& text) {
        WriteFileText(dir / name, text);
        return dir / name;
    }

    bool tools = true;
    ImageContents contents{ctx};
};

#define SKIP_WITHOUT_TOOLS(w)                           \
    if (!(w).tools) {                                   \
        GTEST_SKIP() << "mtools or dosfstools missing"; \
    }

TEST(ImageContents, ChangesAreSeenByTheToolsAndMarkTheImageChanged) {
    ContentsWorld w;
    SKIP_WITHOUT_TOOLS(w);
    w.state.status.bufferCaption = "/tmp/v.img";
    w.contents.Open();
    std::filesystem::create_directories(w.dir / "tree/deeper");
    WriteFileText(w.dir / "tree/deeper/leaf.txt", "leaf");
    w.ui.messageAnswers = {MessageAnswer::Yes, MessageAnswer::Yes};
    EXPECT_EQ(w.contents.Add({w.Host("A LONG FILE NAME.TXT", "replaced"),
                              w.Host("New file with a long name.dat", std::string(5000, 'n')),
                              w.dir / "tree"}),
              5);
    EXPECT_TRUE(w.contents.NewFolder("Made here"));
    ASSERT_TRUE(w.contents.Enter(0));  // "Made here"
    EXPECT_EQ(w.contents.Add({w.Host("in made.txt", "m")}), 1);
    w.contents.Up();
    const auto sub = std::find_if(w.contents.Rows().begin(), w.contents.Rows().end(),
                                  [](const ContentsRow& row) { return row.name == "Sub Folder"; });
    EXPECT_EQ(w.contents.Delete({static_cast<std::size_t>(sub - w.contents.Rows().begin())}), 1);
    EXPECT_EQ(w.ui.MessageTitles(), (std::vector<std::string>{kContentsTitle, kContentsTitle}))
        << "replacing and deleting were asked";

    w.Save();
    Mtools("fsck.fat -n " + w.Volume());
    EXPECT_EQ(MtoolsPaths(w.Volume()),
              (std::set<std::string>{"::/A long file name.txt", "::/New file with a long name.dat",
                                     "::/tree/", "::/tree/deeper/", "::/tree/deeper/leaf.txt",
                                     "::/Made here/", "::/Made here/in made.txt"}));
    EXPECT_EQ(Mtools("mtype -i " + w.Volume() + " '::/A long file name.txt'"), "replaced");
    EXPECT_EQ(Mtools("mtype -i " + w.Volume() + " '::/tree/deeper/leaf.txt'"), "leaf");
    EXPECT_EQ(Mtools("mtype -i " + w.Volume() + " '::/New file with a long name.dat'"),
              std::string(5000, 'n'));
    EXPECT_EQ(w.state.status.bufferCaption, "Changed: /tmp/v.img") << "marked once";
    EXPECT_TRUE(w.state.imageChangesUnexported);
    EXPECT_EQ(w.Shown()[0][2], "2026-03-14 12:00") << "new items carry the clock's time";
    EXPECT_EQ(w.contents.FreeText(),
              FormatThousands(static_cast<long long>(MtoolsFreeBytes(w.Volume()))) + " bytes free");

    // Extracting gives the same bytes back, asking before a file is replaced.
    std::filesystem::create_directory(w.dir / "out");
    w.Host("out/A long file name.txt", "old");
    const std::size_t file = w.contents.Rows().size() - 2;
    const std::vector<std::string> written =
        w.contents.Extract({0, file}, w.dir / "out", ReplacePrompt::Ask);
    EXPECT_EQ(written, std::vector<std::string>{w.dir / "out/Made here"}) << "No to replacing";
    EXPECT_EQ(ReadFileText(w.dir / "out/A long file name.txt"), "old");
    EXPECT_EQ(ReadFileText(w.dir / "out/Made here/in made.txt"), "m");
}

TEST(ImageContents, RefusalsLeaveTheImageAsItWasAndSaySo) {
    using Step = std::function<void(ContentsWorld&)>;
    const Step none = [](ContentsWorld&) {};
    const Step fill = [](ContentsWorld& w) {
        Mtools("dd if=/dev/zero of=" + w.dir / "big" +
               " bs=1000 count=1300 2>/dev/null && mcopy -i " + w.Volume() + " " +
               w.dir / "big ::");
    };
    const std::size_t fat2 = 512 + 9 * 512;
    const Step differ = [&](ContentsWorld& w) { PutBytes(w.Volume(), fat2 + 40, {0x77}); };
    const std::tuple<Step, Step, const char*> cases[] = {
        // prepared, done, said
        {fill,
         [](ContentsWorld& w) { w.contents.Add({w.Host("more.bin", std::string(200000, 'm'))}); },
         "There is no room for \"more.bin\" on the internal image"},
        {differ, [](ContentsWorld& w) { w.contents.NewFolder("New"); },
         "The two FATs of the FAT12 volume differ"},
        {none, [](ContentsWorld& w) { w.contents.Add({w.Host("what?.txt", "q")}); },
         "\"what?.txt\" cannot be stored on a FAT12 volume"},
        {none, [](ContentsWorld& w) { w.contents.Add({w.Host("a long FILE name.txt", "no")}); },
         "\"a long FILE name.txt\" exists in / already."},  // replacing declined
        {none,
         [](ContentsWorld& w) {
             w.contents.Delete({0, 1});
         },
         "Delete 2 items from the"},
    };
    for (const auto& [prepare, act, said] : cases) {
        SCOPED_TRACE(said);
        ContentsWorld w;
        SKIP_WITHOUT_TOOLS(w);
        prepare(w);
        w.Load();
        w.contents.Open();
        const Bytes before = w.Image();
        act(w);
        EXPECT_EQ(w.Image(), before);
        ASSERT_EQ(w.ui.messages.size(), 1u);
        EXPECT_NE(w.ui.LastMessage().text.find(said), std::string::npos) << w.ui.LastMessage().text;
        EXPECT_FALSE(w.state.status.imageChanged);
    }
    // The notes on a volume that cannot be changed, or not even read.
    const Step zero = [](ContentsWorld& w) { WriteFileBytes(w.Volume(), Bytes(kImageBytes, 0)); };
    const Step noSectors = [](ContentsWorld& w) { PutBytes(w.Volume(), 11, Bytes{0, 0}); };
    const std::tuple<Step, std::size_t, std::string> notes[] = {
        {differ, 2, "can be extracted, but nothing can be changed"},
        {zero, 0, "The internal image is zeroed, so it holds no files: format it or import a disk"},
        {noSectors, 0,
         "The internal image holds no FAT12 volume that can be read. The FAT12 volume is damaged: "
         "its sector size (0)"},
    };
    for (const auto& [damage, rows, note] : notes) {
        ContentsWorld w;
        SKIP_WITHOUT_TOOLS(w);
        damage(w);
        w.Load();
        w.contents.Open();
        const ImageContents& c = w.contents;
        EXPECT_EQ(std::tuple(c.Readable(), c.Changeable(), c.Rows().size()),
                  std::tuple(rows != 0, false, rows));
        EXPECT_NE(c.Note().find(note), std::string::npos) << c.Note();
    }
}

// Zero, an import or Exit ask before changes made here and not exported are lost.
TEST(ImageContents, ChangesNotExportedGoOnlyAfterAYes) {
    using Act = std::function<bool(TestWorld&)>;  // true: the image went, or may go
    const Act zero = [](TestWorld& w) {
        ZeroImage(w.ctx);
        return w.state.imageBuffer.Span()[0] == std::byte{0};
    };
    const Act import = [](TestWorld& w) {
        WriteFileText(w.dir / "in.img", std::string(kImageBytes, 'i'));
        return ImportImageFrom(w.ctx, {.file = w.dir / "in.img"}).outcome == Outcome::Complete;
    };
    const Act exit = [](TestWorld& w) { return MayDiscardImageChanges(w.ctx, ImageDiscard::Exit); };
    const Act format = [](TestWorld& w) {  // no template: only the question can show
        FormatImageFromDialog(w.ctx);
        return w.ui.messages.size() > 1;
    };
    // Changed, exported, done, the answer, what the question asks (null: none), whether it went.
    const std::tuple<bool, bool, const Act&, MessageAnswer, const char*, bool> cases[] = {
        {true, false, zero, MessageAnswer::No, "Zero the internal image and lose", false},
        {true, false, zero, MessageAnswer::Yes, "Zero the internal image", true},
        {true, false, import, MessageAnswer::No, "Import over the internal image", false},
        {true, false, import, MessageAnswer::Yes, "not been exported since", true},
        {true, false, exit, MessageAnswer::No, "Exit and lose them?", false},
        {true, false, format, MessageAnswer::No, "Format the internal image", false},
        {true, true, import, MessageAnswer::No, nullptr, true},
        {false, false, zero, MessageAnswer::No, nullptr, true}};
    for (int i = 0; const auto& [changed, exported, act, answer, asked, went] : cases) {
        SCOPED_TRACE(i++);
        TestWorld w;
        if (changed) {
            MarkImageChanged(w.ctx);
        }
        if (exported) {
            ExportImageTo(w.ctx, {.file = w.dir / "out.img"});
        }
        w.ui.messageAnswers = {answer};
        w.state.imageBuffer.Span()[0] = std::byte{1};
        EXPECT_EQ(act(w), went);
        EXPECT_EQ(w.state.imageChangesUnexported, !went);
        ASSERT_EQ(w.ui.messages.size(), asked ? 1u : 0u);
        EXPECT_TRUE(!asked || w.ui.LastMessage().text.find(asked) != std::string::npos);
    }
}

}  // namespace
}  // namespace quarnex::testing
