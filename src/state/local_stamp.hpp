#pragma once
// The clock's local date and time in the form FAT volumes store it.

#include "fat12/dir_entry.hpp"
#include "state/context.hpp"

namespace quarnex {

inline fat12::Stamp StampNow(Context& ctx) {
    const LocalDateTime now = ctx.clock.Now();
    return fat12::MakeStamp(now.year, now.month, now.day, now.hour, now.minute, now.second);
}

}  // namespace quarnex
