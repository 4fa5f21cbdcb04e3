#pragma once
// Reading written slots back from the medium and comparing them with what
// was meant to be there. Sticks that drop writes, or fake-capacity sticks
// that wrap writes past their real size onto earlier ones, pass every write
// and flush; only a read from the medium itself (the cached copy dropped
// first) after the last write of a run shows them.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "core/result.hpp"
#include "ports/device_backend.hpp"
#include "state/operation_ports.hpp"
#include "state/outcome.hpp"

namespace quarnex {

// Whether a writing run reads back what it wrote (the terminal's --no-verify
// turns it off; the window never does).
enum class ReadBack { On, Off };

// How bytes read back from the medium compare with those written: the system
// error of a failed read, else the first differing byte, if any.
struct MediumCheck {
    int error = 0;
    std::optional<std::size_t> difference{};
    bool Same() const { return error == 0 && !difference; }
};

// Drops the cached copy of [offset, offset + expected.size()) and reads it
// from file into scratch (at least as large) in one read, comparing it with
// expected. The range must have been flushed.
MediumCheck CompareWithMedium(DeviceFile& file, std::uint64_t offset,
                              std::span<const std::byte> expected, std::span<std::byte> scratch);

// What slot n should hold from its first byte on (its image, or image and
// gap); a failure has been reported.
using ExpectedSlot = std::function<Result<std::span<const std::byte>>(int slot)>;

// Reads slots first..last of the store at storePath back, in order, through
// a handle of its own. Complete when all are as expected; otherwise failed
// at the first slot that is not (reported, naming the slot and its first
// differing byte) or cancelled at a slot when the user asked.
OperationResult ReadBackSlots(OperationPorts& ports, const std::string& storePath, int first,
                              int last, const ExpectedSlot& expected);

// The report of a slot that does not read back as written.
ErrorRecord SlotDiffersError(int slot, std::size_t byte, const std::string& storePath);

// Whether a run was stopped by its read-back (everything was written, but
// the medium does not hold it), rather than by a write.
bool StoppedByReadBack(const OperationResult& result);

}  // namespace quarnex
