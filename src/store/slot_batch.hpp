#pragma once
// Many image files into slots of one store in one run: the store is opened
// for writing once, each slot is written as a single slot export writes it,
// the progress counts the blocks of all of them, and DISKS.TXT is saved once
// at the end with every slot that was written, however the run ended.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "state/operation_ports.hpp"
#include "state/outcome.hpp"
#include "store/read_back.hpp"
#include "store/store_in_use.hpp"

namespace quarnex {

struct ImagePlacement {
    std::string file;
    int slot = 0;               // 1..999
    std::string description{};  // the slot's description once written
};

// Why a file cannot go into a slot.
enum class ImageFileFault { Unreadable, NotAFile, WrongLength };
struct ImageFileProblem {
    std::string path;
    ImageFileFault fault = ImageFileFault::Unreadable;
    std::uint64_t length = 0;  // WrongLength
    int error = 0;             // Unreadable: the system's error
};

// The first of files that is not a regular file of exactly one floppy
// image's length, if any.
std::optional<ImageFileProblem> CheckImageFiles(DeviceBackend& devices,
                                                const std::vector<std::string>& files);

// count slots from first on, when all of them lie in 1..999.
std::optional<std::vector<int>> ConsecutiveSlots(int first, std::size_t count);

struct BatchResult {
    // Incomplete at the slot it stopped at; not started, refused, when a
    // file failed the check (refused names it) or a slot lies outside 1..999.
    OperationResult result;
    std::vector<int> written;  // slots that anything reached, in order
    std::optional<ImageFileProblem> refused;
};

// Every file is checked before anything is written. Each slot written gets
// its file's ID, the placement's description and the file as its source (none when it
// was not completely written).
// Once all are written, each slot written is read back from the medium
// unless readBack is Off.
BatchResult PutImages(OperationPorts& ports, StoreInUse store,
                      const std::vector<ImagePlacement>& placements,
                      ReadBack readBack = ReadBack::On);

}  // namespace quarnex
