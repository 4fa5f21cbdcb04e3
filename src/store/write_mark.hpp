#pragma once
// The mark of a write that has not finished. A whole-store write (a format
// or a restore) puts it into slot 0's boot sector, flushed, before any slot
// is touched, and clears it, flushed, as the very last step; a store that
// still carries it mixes old and new slots, and every listing says so. A
// slot write does the same in the slot's own boot sector: the image goes on
// with a marked boot sector, and the real one is its last write.
//
// Why the OEM name field (boot-sector bytes 3..10): it is the one field of
// the boot sector that neither FAT12 drivers nor the scan read (they check
// the jump, the BPB, the sector count and the signature), so a marked store
// stays a valid volume that the scan still finds, which lets the user run
// the same format or restore again from the window. The volume label
// (bytes 43..53), which the emulator hardware and the store ID use, is left
// alone, and nothing outside slot 0's first sector changes. The mark and the
// boot sector share one 512-byte write, so no torn write can separate them.

#include <span>
#include <string>
#include <string_view>

#include "state/operation_ports.hpp"
#include "state/reported_io.hpp"

namespace quarnex {

inline constexpr std::size_t kWriteMarkOffset = 3;
inline constexpr std::string_view kWriteMark = "QRNXBUSY";

bool HasWriteMark(std::span<const std::byte> bootSector);
void PutWriteMark(std::span<std::byte> bootSector);

// What a listing of a marked store says, in one line.
std::string UnfinishedWriteText(const std::string& storePath);
// The same for a marked slot n (1..999).
std::string UnfinishedSlotText(int slot);

// Writes the 512 bytes at sector as the store's first sector and flushes;
// fails after the report. The handle's position afterwards is not kept.
Status WriteFirstSector(OperationPorts& ports, DevHandle& device,
                        std::span<const std::byte> sector);

}  // namespace quarnex
