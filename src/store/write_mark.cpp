#include "store/write_mark.hpp"

#include <algorithm>

#include "core/media_sizes.hpp"
#include "core/text.hpp"

namespace quarnex {

bool HasWriteMark(std::span<const std::byte> bootSector) {
    if (bootSector.size() < kWriteMarkOffset + kWriteMark.size()) {
        return false;
    }
    return std::equal(kWriteMark.begin(), kWriteMark.end(),
                      bootSector.begin() + static_cast<std::ptrdiff_t>(kWriteMarkOffset),
                      [](char c, std::byte b) { return static_cast<std::byte>(c) == b; });
}

void PutWriteMark(std::span<std::byte> bootSector) {
    std::transform(kWriteMark.begin(), kWriteMark.end(),
                   bootSector.begin() + static_cast<std::ptrdiff_t>(kWriteMarkOffset),
                   [](char c) { return static_cast<std::byte>(c); });
}

std::string UnfinishedWriteText(const std::string& storePath) {
    return "the last format or restore of " + storePath +
           " did not finish: its slots may mix old and new disks; run it again";
}

std::string UnfinishedSlotText(int slot) {
    return "Slot " + ThreeDigits(slot) + " was not completely written: put an image into it again.";
}

Status WriteFirstSector(OperationPorts& ports, DevHandle& device,
                        std::span<const std::byte> sector) {
    Status written =
        WriteBlockAndReport(ports, device, sector, 0, kSectorBytes, 0, Reporting::Shown);
    return written ? FlushDevHandle(ports, device) : written;
}

}  // namespace quarnex
