#include "store/volume_writer.hpp"

#include <cerrno>

namespace quarnex {

int WriteStages(DeviceFile& device, std::uint64_t base, std::span<std::byte> volume,
                const fat12::ReplaceStages& stages) {
    for (std::size_t index = 0; index < stages.stages.size(); ++index) {
        const std::vector<fat12::SectorRun> runs = fat12::ApplyStage(volume, stages, index);
        for (const fat12::SectorRun& run : runs) {
            if (const int error = device.Seek(base + run.begin); error != 0) {
                return error;
            }
            const std::size_t count = run.end - run.begin;
            const IoResult written = device.Write(volume.data() + run.begin, count);
            if (written.error != 0) {
                return written.error;
            }
            if (written.bytes != count) {
                return ENOSPC;
            }
        }
        // An empty stage leaves nothing to flush.
        if (runs.empty()) {
            continue;
        }
        if (const int error = device.Flush(); error != 0) {
            return error;
        }
    }
    return 0;
}

}  // namespace quarnex
