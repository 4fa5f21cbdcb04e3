#pragma once
// Floppy images for the image tests, the internal image's whole visible
// state, and a world that remembers an earlier import.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "commands/activity_text.hpp"
#include "core/media_sizes.hpp"
#include "fat12/boot_sector.hpp"
#include "image/image_result.hpp"
#include "support/test_world.hpp"

namespace quarnex::testing {

using Bytes = std::vector<unsigned char>;
using Strings = std::vector<std::string>;

inline constexpr std::size_t kBlock = kTrackBytes;
inline const ImageTransferRequest kDriveA{.drive = FloppyDrive::A};

// Every block differs from every other and from other seeds.
inline Bytes PatternImage(unsigned seed, std::size_t size = kImageBytes) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<unsigned char>((i / kTrackBytes * 7 + i * 13 + seed) & 0xFF);
    }
    return bytes;
}

inline Bytes Labelled(Bytes image, const std::string& label) {
    std::copy(label.begin(), label.end(), image.begin() + fat12::kBootLabelOffset);
    return image;
}

// The first blocks of head, then the rest of tail.
inline Bytes Spliced(const Bytes& head, const Bytes& tail, std::size_t blocks) {
    Bytes bytes = tail;
    std::copy(head.begin(), head.begin() + static_cast<std::ptrdiff_t>(blocks * kBlock),
              bytes.begin());
    return bytes;
}

inline Bytes ImageOf(const ProgramState& state) {
    const auto* data = reinterpret_cast<const unsigned char*>(state.imageBuffer.Span().data());
    return Bytes(data, data + kImageBytes);
}

// What the window tells of the internal image, with its bytes.
struct ImageState {
    Bytes bytes;
    int kind;  // imageSource
    std::string source, description, caption;
    bool opaque;
    bool operator==(const ImageState&) const = default;
};

inline ImageState StateOf(const ProgramState& s) {
    const SlotTable& t = s.slotTable;
    return ImageState{ImageOf(s),
                      s.imageSource,
                      t.internalImage.source,
                      t.internalImage.description,
                      s.status.bufferCaption,
                      s.status.bufferOpaque};
}

// A result with its action as the front ends name it.
using ShownResult = std::tuple<Outcome, std::string, std::string, std::size_t, bool>;
inline ShownResult ResultOf(Outcome outcome, const std::string& path, const std::string& action,
                            std::size_t stoppedAt = 0, bool cancelled = false) {
    return {outcome, path, action, stoppedAt, cancelled};
}
inline ShownResult Shown(const ImageResult& r) {
    return {r.outcome, r.path, ActivityText(r.action), r.stoppedAtTrack, r.cancelled};
}

// The internal image holds old bytes from an earlier import, so that every
// change shows.
struct ImageWorld : TestWorld {
    ImageWorld() {
        std::copy(old.begin(), old.end(),
                  reinterpret_cast<unsigned char*>(state.imageBuffer.Data()));
        state.imageSource = kept.kind;
        state.slotTable.internalImage = {kept.description, kept.source};
        state.status.bufferCaption = kept.caption;
    }
    // A device file holding these bytes stands for drive A: or B:.
    std::string InsertDisk(const Bytes& bytes, bool driveB = false) {
        std::string& drive = driveB ? drives.floppyB : drives.floppyA;
        drive = dir / (driveB ? "fd1" : "fd0");
        WriteFileBytes(drive, bytes);
        return drive;
    }
    // A file in a folder deep enough that labels show it shortened.
    std::string ImageFile(const Bytes& bytes) {
        std::filesystem::create_directories(dir / "floppy images kept for the tests");
        WriteFileBytes(dir / "floppy images kept for the tests/some disk.img", bytes);
        return dir / "floppy images kept for the tests/some disk.img";
    }
    void Inject(FaultOp op, const std::vector<int>& nths, int error = EIO,
                const std::string& path = "") {
        for (int nth : nths) {
            devices.Inject(Fault{op, nth, path, error, 0});
        }
    }
    const Bytes old = Labelled(PatternImage(200), "EARLIER    ");
    const ImageState kept{
        old, SourceUsbSlot, "earlier source", "earlier description", "earlier source", false};
};

}  // namespace quarnex::testing
