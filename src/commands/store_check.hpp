#pragma once
// Whether a file or device the user names holds a store: the checks and the
// texts the window and the terminal tool share.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "commands/context.hpp"
#include "scan/drive_scan.hpp"

namespace quarnex {

// A file or device whose first sector is not a store's.
void RefuseNotAStore(Context& ctx, const std::string& path);

// The first sector of path; none after the open's or the read's report.
std::optional<std::array<std::byte, kBootSectorBytes>> StoreFirstSector(Context& ctx,
                                                                        const std::string& path);

}  // namespace quarnex
