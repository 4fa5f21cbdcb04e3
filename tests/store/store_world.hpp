#pragma once
// A selected store "sdb": a sparse file of 1,572,864,000 bytes whose slot 0
// holds a blank FAT12 volume labelled "USBSTORE", with helpers to put
// recognisable bytes on it and check what an operation left.

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

// A descriptions file's header after its first line, and the file that
// loading creates where a store has none.
inline constexpr const char* kListHeader =
    "\r\nList Includes:\r\n   Floppy Disk Base Id (Numbered)\r\n"
    "   Disk Images With Descriptions\r\n   Disk Images With Altered Disk IDs\r\n\r\n";
inline const std::string kCreatedHeader =
    "Disk Descriptions For USB Image File 'Unknown'\r\n" + std::string(kListHeader);

Bytes Text(const std::string& text);
Bytes BytesOf(std::span<const std::byte> memory, std::size_t offset, std::size_t count);
// Bytes that depend on their absolute offset and a seed, so any misplaced
// transfer shows.
Bytes Pattern(std::uint64_t offset, std::size_t count, unsigned seed);
void PutBytes(const std::string& path, std::uint64_t offset, const Bytes& bytes);
void PutPattern(const std::string& path, std::uint64_t offset, std::size_t count, unsigned seed);

// A fault of the selected store's operations.
inline Fault StoreFault(FaultOp op, int nth, int error = EIO, std::size_t shortBy = 0) {
    return Fault{op, nth, "usbstore", error, shortBy};
}

// A short mark naming the slot and the seed at the end of the slot's image
// part and at the end of its gap (clear of slot 0's FAT12 structures). Only
// the slots a test looks at are marked: that keeps the files sparse and cheap.
inline constexpr std::size_t kMarkBytes = 16;
std::uint64_t GapEndMark(int slot);
void MarkSlots(const std::string& path, unsigned seed, const std::vector<int>& slots);
// True when both marks of the slot carry the seed.
bool SlotMarked(const std::string& path, int slot, unsigned seed);
// Compares two files slot by slot; the first differing slot, or -1.
int FirstDifferentSlot(const std::string& a, const std::string& b);

// True when the program is on PATH.
bool HaveTool(const std::string& name);
// Runs a shell command; its exit status and combined output.
int RunCommand(const std::string& command, std::string* output = nullptr);
// fsck.fat passes the volume file and mtype reads file back as expected;
// says so and checks nothing where the tools are missing.
void ExpectFatToolsAccept(const std::string& volume, const std::string& file,
                          const std::string& expected);

// Sets column 1 of rows 1..999 to base (+ the row number when numbered).
void SetGridIds(ProgramState& state, const std::string& base, bool numbered);

struct StoreWorld : TestWorld {
    StoreWorld();

    std::string store;

    void PutLabel(int slot, const std::string& label11);
    // Labels slots 1..999 with base (+ the slot number when numbered).
    void LabelSlots(const std::string& base, bool numbered);
    Bytes Read(std::uint64_t offset, std::size_t count) const;
    std::vector<std::byte> Slot0Volume() const;
    // The file in slot 0's root folder, or "<status>" when it cannot be read.
    std::string Slot0File(const std::string& name = "DISKS.TXT") const;
    void PutSlot0File(const std::string& name, const std::string& text);
    // The FAT12 template beside the program: a blank volume, or these bytes.
    Bytes InstallTemplate(std::optional<Bytes> bytes = std::nullopt);
    std::span<std::byte> Image() { return state.InternalImage.Span(); }
    // The positions of the seeks on the store, in order.
    std::vector<std::uint64_t> Seeks() const;
    // Makes the loop device the selected store; its name ("loopN").
    std::string SelectLoopDevice(const LoopDevice& loop);

    // Makes the fault happen, and the user cancel right after the nth
    // operation of cancelOp on the store (0 = no cancel).
    void Arm(const std::optional<Fault>& fault, FaultOp cancelOp, int cancelAfter,
             const std::string& cancelPath = "usbstore");
    // How many flushes of path had happened when "Finished" was first shown.
    const int& FlushesAtFinished(const std::string& path);

    // The text of the one message shown, or "<n messages>".
    std::string OnlyMessage() const;
    // Exactly one error report naming source, or none for nullptr.
    void ExpectReport(const char* source) const;
    // Nothing left open, not busy, and no cancel left over.
    void ExpectSettled() const;

  private:
    int flushesAtFinished_ = -1;
};

}  // namespace quarnex::testing
