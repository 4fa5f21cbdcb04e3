#include "image/image_format.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "frame/layout.hpp"
#include "image/volume_id.hpp"
#include "image_test_files.hpp"
#include "support/test_world.hpp"

namespace quarnex {
namespace {

using testing::Bytes;
using testing::Fault;
using testing::FaultOp;
using testing::ImageOf;
using testing::PatternImage;
using testing::Range;
using testing::TestWorld;

struct FormatWorld : TestWorld {
    FormatWorld() {
        testing::FillImage(state, old);
        state.ImageSourceKind = SourceUsbSlot;
        state.DiskSources[0] = "earlier source";
        state.DiskDescriptions[0] = "earlier description";
        state.window.status.bufferCaption = "earlier source";
    }
    // The template beside the program; its bytes are returned.
    Bytes WriteTemplate(std::size_t size) {
        std::filesystem::create_directories(dir / "QuarnCfg");
        const Bytes bytes = PatternImage(77, size);
        testing::WriteFileBytes(dir / "QuarnCfg/FAT12.144", bytes);
        return bytes;
    }
    void ExpectStateUnchanged() const {
        EXPECT_EQ(ImageOf(state), old);
        EXPECT_EQ(state.ImageSourceKind, SourceUsbSlot);
        EXPECT_EQ(state.DiskSources[0], "earlier source");
        EXPECT_EQ(state.DiskDescriptions[0], "earlier description");
    }
    void ExpectFormattedState() const {
        EXPECT_EQ(state.ImageSourceKind, SourceFormatted);
        EXPECT_EQ(state.DiskSources[0], "");
        EXPECT_EQ(state.DiskDescriptions[0], "");
    }
    Bytes old = PatternImage(99);
};

// What a format must leave: the template, zeros after it, the ID twice.
Bytes Expected(const Bytes& templ, const std::string& id11) {
    Bytes image(kImageBytes, 0);
    std::copy(templ.begin(), templ.begin() + std::min(templ.size(), kImageBytes), image.begin());
    std::copy(id11.begin(), id11.end(), image.begin() + kLabelOffset);
    std::copy(id11.begin(), id11.end(), image.begin() + kRootLabelOffset);
    return image;
}

TEST(ZeroInternalImage, AllZerosAndNoSource) {
    FormatWorld w;
    w.state.window.status.bufferOpaque = true;
    ZeroInternalImage(w.ctx);
    EXPECT_EQ(ImageOf(w.state), Bytes(kImageBytes, 0));
    const StatusStrip& status = w.state.window.status;
    EXPECT_EQ(status.bufferCaption, "Zeroed");
    EXPECT_FALSE(status.bufferOpaque);
    EXPECT_EQ(status.actionLabel, "Zeroing Internal Disk Image");
    EXPECT_EQ(status.progressBar, 100);
    EXPECT_EQ(status.progressLabel, "Progress      Finished");
    EXPECT_EQ(w.state.ImageSourceKind, SourceZeroed);
    EXPECT_EQ(w.state.DiskSources[0], "");
    EXPECT_EQ(w.state.DiskDescriptions[0], "");
}

TEST(FormatInternalImage, OkButtonIdsInCapitalsAtBothPlaces) {
    struct Case {
        std::string typed;
        std::string box;
        std::string written;
        std::string caption;
    };
    const std::vector<Case> cases = {
        {"abcdefghijklmn", "ABCDEFGHIJK", "ABCDEFGHIJK", "FAT12 / ID = [ABCDEFGHIJK]"},
        {"abc", "ABC", "ABC        ", "FAT12 / ID = [ABC        ]"},
        {"", "", "           ", "FAT12 / ID = [-----------]"},
        {"my disk 1", "MY DISK 1", "MY DISK 1  ", "FAT12 / ID = [MY DISK 1  ]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        FormatWorld w;
        const Bytes templ = w.WriteTemplate(kImageBytes);
        w.state.window.status.bufferOpaque = true;
        w.state.window.dialogs.floppyIdText = c.typed;
        FlpyIdOkClicked(w.ctx);
        EXPECT_EQ(w.state.window.dialogs.floppyIdText, c.box);
        EXPECT_EQ(ImageOf(w.state), Expected(templ, c.written));
        const StatusStrip& status = w.state.window.status;
        EXPECT_EQ(status.bufferCaption, c.caption);
        EXPECT_FALSE(status.bufferOpaque);
        EXPECT_EQ(status.actionLabel, "Formatting Internal Disk Image");
        EXPECT_EQ(status.progressLabel, "Progress      Finished");
        w.ExpectFormattedState();
        EXPECT_TRUE(w.ui.messages.empty());
        EXPECT_EQ(w.devices.OpenHandles(), 0);
    }
}

TEST(FormatInternalImage, ShortAndLongTemplates) {
    {
        SCOPED_TRACE("512 bytes: the rest is zero but for the ID in the root directory");
        FormatWorld w;
        const Bytes templ = w.WriteTemplate(512);
        std::string id = "boot";
        EXPECT_TRUE(FormatInternalImage(w.ctx, id));
        EXPECT_EQ(id, "boot       ");
        const Bytes image = ImageOf(w.state);
        EXPECT_EQ(image, Expected(templ, "boot       "));
        EXPECT_EQ(Range(image, 512, kRootLabelOffset), Bytes(kRootLabelOffset - 512, 0));
        EXPECT_EQ(w.state.window.status.bufferCaption, "FAT12 / ID = [boot       ]");
    }
    {
        SCOPED_TRACE("longer than an image: only its first 1,474,560 bytes");
        FormatWorld w;
        const Bytes templ = w.WriteTemplate(kImageBytes + 5000);
        std::string id = "LONG";
        EXPECT_TRUE(FormatInternalImage(w.ctx, id));
        EXPECT_EQ(ImageOf(w.state), Expected(templ, "LONG       "));
        ASSERT_EQ(w.devices.Count(FaultOp::Read), 1);
        EXPECT_EQ(w.devices.Log().back().count, kImageBytes);
    }
}

TEST(FormatInternalImage, MissingUnopenableAndUnreadableTemplates) {
    {
        SCOPED_TRACE("missing");
        FormatWorld w;
        std::string id = "X";
        EXPECT_FALSE(FormatInternalImage(w.ctx, id));
        ASSERT_EQ(w.ui.messages.size(), 1u);
        EXPECT_EQ(w.ui.messages[0].title, "Error");
        EXPECT_EQ(w.ui.messages[0].text,
                  "Error # 0x80040002 was generated by FileLen\r\nNo such file or directory");
        EXPECT_EQ(w.state.window.status.bufferCaption, "... ? ...");
        EXPECT_TRUE(w.state.window.status.bufferOpaque);
        EXPECT_EQ(w.devices.Count(FaultOp::Open), 0);
        w.ExpectStateUnchanged();
    }
    {
        SCOPED_TRACE("present but not openable");
        FormatWorld w;
        w.WriteTemplate(kImageBytes);
        w.devices.Inject(Fault{FaultOp::Open, 1, "FAT12", EACCES, 0});
        std::string id = "X";
        EXPECT_FALSE(FormatInternalImage(w.ctx, id));
        ASSERT_EQ(w.ui.messages.size(), 1u);
        EXPECT_EQ(w.ui.messages[0].text.rfind("Error # 0x8004000D was generated by GetHandle", 0),
                  0u);
        EXPECT_EQ(w.state.window.status.bufferCaption, "earlier source");
        w.ExpectStateUnchanged();
    }
    {
        SCOPED_TRACE("read fails");
        FormatWorld w;
        w.WriteTemplate(kImageBytes);
        w.devices.Inject(Fault{FaultOp::Read, 1, "FAT12", 0, 1});
        std::string id = "abc";
        EXPECT_FALSE(FormatInternalImage(w.ctx, id));
        ASSERT_EQ(w.ui.messages.size(), 1u);
        EXPECT_EQ(w.ui.messages[0].text.rfind(
                      "Error # 0x80040005 was generated by QrnMfntReadPtr.ReadFile", 0),
                  0u);
        EXPECT_EQ(w.state.window.status.bufferCaption, "... ? ...");
        EXPECT_TRUE(w.state.window.status.bufferOpaque);
        const Bytes image = ImageOf(w.state);
        EXPECT_EQ(Range(image, kLabelOffset, kLabelOffset + 11),
                  Bytes({'a', 'b', 'c', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}));
        EXPECT_EQ(Range(image, kRootLabelOffset, kRootLabelOffset + 11),
                  Range(image, kLabelOffset, kLabelOffset + 11));
        w.ExpectFormattedState();
        EXPECT_EQ(w.devices.OpenHandles(), 0);
    }
}

TEST(VolumeId, CharactersNotBytesAndTheirEightBitForm) {
    // Eleven characters of which three take two bytes each.
    EXPECT_EQ(FirstCharacters("\xC3\xA4\xC3\xB6\xC3\xBC"
                              "abcdefghijk",
                              11),
              "\xC3\xA4\xC3\xB6\xC3\xBC"
              "abcdefgh");
    EXPECT_EQ(FirstCharacters("ab\xE2\x82\xAC", 3), "ab\xE2\x82\xAC") << "the euro sign whole";
    EXPECT_EQ(FirstCharacters("ab\xE2\x82", 3), "ab\xE2") << "a broken sequence byte by byte";

    EXPECT_EQ(VolumeIdText("\xC3\xA4"
                           "b"),
              "\xC3\xA4"
              "b         ");
    const auto bytes = VolumeIdBytes(
        "\xC3\xA4\xE2\x82\xAC\xFF"
        "Z");
    EXPECT_EQ(bytes[0], std::byte{0xE4}) << "Latin-1 characters keep their byte";
    EXPECT_EQ(bytes[1], std::byte{'?'}) << "characters beyond Latin-1";
    EXPECT_EQ(bytes[2], std::byte{'?'}) << "a byte that is no character";
    EXPECT_EQ(bytes[3], std::byte{'Z'});
    EXPECT_EQ(bytes[10], std::byte{' '});

    // Through the dialog: no character cut in two, the label is 11 bytes.
    FormatWorld w;
    const Bytes templ = w.WriteTemplate(kImageBytes);
    w.state.window.dialogs.floppyIdText =
        "\xC3\xA4"
        "bcdefghijklmn";
    FlpyIdOkClicked(w.ctx);
    EXPECT_EQ(w.state.window.dialogs.floppyIdText,
              "\xC3\xA4"
              "BCDEFGHIJK");
    EXPECT_EQ(ImageOf(w.state), Expected(templ,
                                         "\xE4"
                                         "BCDEFGHIJK"));
    EXPECT_EQ(w.state.window.status.bufferCaption,
              "FAT12 / ID = [\xC3\xA4"
              "BCDEFGHIJK]");
}

}  // namespace
}  // namespace quarnex
