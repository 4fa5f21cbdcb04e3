#pragma once
// A selected store "sdb": a sparse 1,572,864,000-byte file whose slot 0 holds
// a blank FAT12 volume labelled "USBSTORE".

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/media_sizes.hpp"
#include "support/loop_device.hpp"
#include "support/test_world.hpp"

namespace quarnex::testing {

using Bytes = std::vector<unsigned char>;

// A descriptions file's header after its first line; the file loading creates.
inline constexpr const char* kListHeader =
    "\r\nList Includes:\r\n   Floppy Disk Base Id (Numbered)\r\n"
    "   Disk Images With Descriptions\r\n   Disk Images With Altered Disk IDs\r\n\r\n";
inline const std::string kCreatedHeader =
    "Disk Descriptions For USB Image File 'Unknown'\r\n" + std::string(kListHeader);

Bytes BytesOf(std::span<const std::byte> memory, std::size_t offset, std::size_t count);
// Bytes that depend on their absolute offset and a seed.
Bytes Pattern(std::uint64_t offset, std::size_t count, unsigned seed);
void PutPattern(const std::string& path, std::uint64_t offset, std::size_t count, unsigned seed);

inline Fault StoreFault(FaultOp op, int nth, int error = EIO, std::size_t shortBy = 0) {
    return Fault{op, nth, "usbstore", error, shortBy};
}

// Marks the ends of each slot's image part and gap with the seed and the slot.
void MarkSlots(const std::string& path, unsigned seed, const std::vector<int>& slots);
bool SlotMarked(const std::string& path, int slot, unsigned seed);

// What a stop between writes may leave in the volume image: nothing for
// fsck.fat -n to report (exit 0), or exit 1 with only "Reclaimed ... unused
// cluster(s)" besides its banner and summary. A free cluster in a chain,
// differing FATs or a wrong size all print other lines. Empty when
// acceptable, otherwise fsck's output.
std::string FsckBeyondLostClusters(const std::string& image);
// Slot n as a format at the test clock's noon writes it: the template, zeros
// to the end of the slot, the label at both places and the slot's serial.
Bytes FormattedSlot(const Bytes& templateBytes, int slot, const std::string& label11);

// Sets column 1 of rows 1..999 to base (+ the row number when numbered).
void SetGridIds(ProgramState& state, const std::string& base, bool numbered);

struct StoreWorld : TestWorld {
    StoreWorld();

    std::string store;

    void PutLabel(int slot, const std::string& label11);
    Bytes Read(std::uint64_t offset, std::size_t count) const;
    // The file in slot 0's root folder, or "<status>".
    std::string Slot0File(const std::string& name = "DISKS.TXT") const;
    void PutSlot0File(const std::string& name, const std::string& text);
    // The FAT12 template beside the program: a blank volume, or these bytes.
    Bytes InstallTemplate(std::optional<Bytes> bytes = std::nullopt);
    std::span<std::byte> Image() { return state.imageBuffer.Span(); }
    // Makes the loop device the selected store; its name ("loopN").
    std::string SelectLoopDevice(const LoopDevice& loop);

    // Injects the fault; the user cancels after the nth cancelOp (0 = never).
    void Arm(const std::optional<Fault>& fault, FaultOp cancelOp, int cancelAfter,
             const std::string& cancelPath = "usbstore");
    // How many flushes of path had happened when "Finished" was first shown.
    const int& FlushesAtFinished(const std::string& path);

    std::string OnlyMessage() const;              // or "<n messages>"
    void ExpectReport(const char* source) const;  // one naming source; none for nullptr

  private:
    int flushesAtFinished_ = -1;
};

}  // namespace quarnex::testing
