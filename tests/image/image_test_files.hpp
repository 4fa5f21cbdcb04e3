#pragma once
// Floppy images for the image tests: recognisable bytes, a chosen label, a
// look at the internal image, and a world that remembers an earlier import.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "core/media_sizes.hpp"
#include "fat12/boot_sector.hpp"
#include "image/image_result.hpp"
#include "state/program_state.hpp"
#include "support/test_world.hpp"

namespace quarnex::testing {

using Bytes = std::vector<unsigned char>;
using Strings = std::vector<std::string>;

inline constexpr std::size_t kBlock = kTrackBytes;
inline constexpr const char* kDriveA = "\\\\.\\a:";

// Every block differs from every other and from other seeds.
inline Bytes PatternImage(unsigned seed, std::size_t size = kImageBytes) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<unsigned char>((i / kTrackBytes * 7 + i * 13 + seed) & 0xFF);
    }
    return bytes;
}

inline void PutLabel(Bytes& image, const std::string& label) {
    std::copy(label.begin(), label.end(), image.begin() + fat12::kBootLabelOffset);
}

inline Bytes ImageOf(const ProgramState& state) {
    const auto* data = reinterpret_cast<const unsigned char*>(state.InternalImage.Span().data());
    return Bytes(data, data + kImageBytes);
}

inline void FillImage(ProgramState& state, const Bytes& bytes) {
    std::copy(bytes.begin(), bytes.end(),
              reinterpret_cast<unsigned char*>(state.InternalImage.Data()));
}

// Bytes [from, to) of a buffer.
inline Bytes Range(const Bytes& bytes, std::size_t from, std::size_t to) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(to));
}

// A completed transfer as its result tells it.
inline ImageResult CompleteOn(const std::string& path, const std::string& action) {
    ImageResult result = NotStartedOn(path);
    result.outcome = Outcome::Complete;
    result.action = action;
    return result;
}

// A world whose internal image holds old bytes and whose image state tells
// an earlier import, so that every change shows.
struct ImageWorld : TestWorld {
    ImageWorld() {
        FillImage(state, old);
        state.ImageSourceKind = SourceUsbSlot;
        state.slotTable.DiskSources[0] = "earlier source";
        state.slotTable.DiskDescriptions[0] = "earlier description";
        state.status.bufferCaption = "earlier source";
    }
    // The internal image, what it came from and its description are as before.
    void ExpectImageKept() const {
        EXPECT_EQ(ImageOf(state), old);
        EXPECT_EQ(state.ImageSourceKind, SourceUsbSlot);
        EXPECT_EQ(state.slotTable.DiskSources[0], "earlier source");
        EXPECT_EQ(state.slotTable.DiskDescriptions[0], "earlier description");
        EXPECT_FALSE(state.busy);
        EXPECT_EQ(devices.OpenHandles(), 0);
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
        const std::string folder = dir / "floppy images kept for the tests";
        std::filesystem::create_directories(folder);
        WriteFileBytes(folder + "/some disk.img", bytes);
        return folder + "/some disk.img";
    }
    void Inject(FaultOp op, std::initializer_list<int> nths, int error = EIO,
                const std::string& path = "") {
        for (int nth : nths) {
            devices.Inject(Fault{op, nth, path, error, 0});
        }
    }
    Bytes old = PatternImage(200);
};

}  // namespace quarnex::testing
