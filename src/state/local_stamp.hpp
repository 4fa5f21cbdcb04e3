#pragma once
// The clock's local date and time in the form FAT volumes store it.

#include "fat12/dir_entry.hpp"
#include "ports/clock.hpp"

namespace quarnex {

inline fat12::Stamp StampNow(Clock& clock) {
    const LocalDateTime now = clock.Now();
    return fat12::MakeStamp(now.year, now.month, now.day, now.hour, now.minute, now.second);
}

}  // namespace quarnex
