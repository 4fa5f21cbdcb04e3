#pragma once
// Formatting a whole store: every slot gets a fresh empty FAT12 volume made
// from the template, slot 0 labelled with the device ID and slots 1..999 with
// the base ID (optionally numbered), each with a serial number of its own.

#include <span>
#include <string>

#include "state/operation_ports.hpp"
#include "state/outcome.hpp"
#include "store/read_back.hpp"
#include "store/store_in_use.hpp"

namespace quarnex {

// A numbered base ID's characters: the slot number takes the other three.
inline constexpr std::size_t kNumberedBaseChars = 8;

// Slot n's label, exactly 11 characters: n = 0 takes deviceId (cut to 11,
// trimmed, padded); n >= 1 the base ID's first 8 characters + three digits
// when append is set, else its first 11.
std::string FormatLabel(int slot, const std::string& deviceId, const std::string& baseId,
                        bool append);

struct FormatRequest {
    std::string storeId;   // slot 0's label
    std::string baseId;    // the label of slots 1..999
    bool numbered = true;  // the base ID takes the slot number
    ReadBack readBack = ReadBack::On;
};

// A format as asked, with the template every slot starts from and a buffer
// of one slot, in which each slot's volume is built.
struct StoreFormat {
    FormatRequest request;
    std::string templatePath;
    std::span<std::byte> slotBuffer;
};

// Writes all 1000 slots of the target, slots 1..999 first and slot 0 last;
// slot 0 is written even after a failed or cancelled slot. Complete only
// when every slot was written and reached the medium, so that a caller never
// takes a partly formatted store for a formatted one; otherwise stopped at
// the last slot of 1..999 it began. A template that cannot be read in full
// aborts before anything is written. The records get the new base ID and
// lose the texts of the slots written. With read-back on, every slot is read
// from the medium after the last write and compared; a difference fails the
// format at that slot.
OperationResult FormatStore(OperationPorts& ports, StoreInUse target, const StoreFormat& format);

// An ID as the format dialog takes it: the capitals of its first 11
// characters.
std::string FormatDialogId(const std::string& typed);

}  // namespace quarnex
