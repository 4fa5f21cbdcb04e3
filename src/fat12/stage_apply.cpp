// Staging single changes, putting staged changes into a volume, and the
// sectors each stage touches.
#include <algorithm>

#include "fat12/fat12_volume.hpp"
#include "fat12/fat_codec.hpp"
#include "fat12/geometry.hpp"
#include "fat12/volume_editor.hpp"

namespace quarnex::fat12 {

namespace {

void MarkSectors(std::vector<std::size_t>& sectors, std::size_t begin, std::size_t count) {
    for (std::size_t sector = begin / kSectorBytes; sector * kSectorBytes < begin + count;
         ++sector) {
        sectors.push_back(sector);
    }
}

}  // namespace

std::vector<SectorRun> ApplyStage(std::span<std::byte> image, const ReplaceStages& stages,
                                  std::size_t index) {
    const Stage& stage = stages.stages.at(index);
    std::vector<std::size_t> sectors;
    for (const ByteEdit& edit : stage.bytes) {
        std::ranges::copy(edit.bytes, image.begin() + static_cast<std::ptrdiff_t>(edit.offset));
        MarkSectors(sectors, edit.offset, edit.bytes.size());
    }
    std::size_t fatFirst = stages.fatEnd;
    std::size_t fatLast = stages.fatBegin;
    for (const FatEdit& edit : stage.fat) {
        for (std::size_t copy = stages.fatBegin; copy < stages.fatEnd; copy += stages.fatBytes) {
            SetFatEntry(image.subspan(copy, stages.fatBytes), edit.cluster, edit.value);
            // An entry takes a byte and a half; the two bytes may straddle sectors.
            const std::size_t at = copy + edit.cluster * 3 / 2;
            fatFirst = std::min(fatFirst, at);
            fatLast = std::max(fatLast, at + 2);
        }
    }
    if (!stage.fat.empty()) {
        MarkSectors(sectors, fatFirst, fatLast - fatFirst);
    }
    std::ranges::sort(sectors);
    const auto [end, last] = std::ranges::unique(sectors);
    sectors.erase(end, last);
    std::vector<SectorRun> runs;
    for (const std::size_t sector : sectors) {
        const std::size_t begin = sector * kSectorBytes;
        if (!runs.empty() && runs.back().end == begin) {
            runs.back().end += kSectorBytes;
        } else {
            runs.push_back({begin, begin + kSectorBytes});
        }
    }
    return runs;
}

Status ApplyStages(std::span<std::byte> image, const ReplaceStages& stages) {
    if (stages.status == Status::Ok) {
        for (std::size_t i = 0; i < stages.stages.size(); ++i) {
            ApplyStage(image, stages, i);
        }
    }
    return stages.status;
}

void MergeStages(ReplaceStages& into, ReplaceStages&& later) {
    if (into.stages.empty()) {
        into = std::move(later);
        return;
    }
    into.stages.resize(std::max(into.stages.size(), later.stages.size()));
    for (std::size_t i = 0; i < later.stages.size(); ++i) {
        Stage& stage = into.stages[i];
        std::ranges::move(later.stages[i].bytes, std::back_inserter(stage.bytes));
        std::ranges::move(later.stages[i].fat, std::back_inserter(stage.fat));
    }
}

ReplaceStages StageFileWrite(std::span<const std::byte> image, std::string_view path,
                             std::string_view contents, const Stamp& now) {
    return VolumeEditor({image.begin(), image.end()}).WriteFile(path, contents, now);
}

ReplaceStages StageMakeFolder(std::span<const std::byte> image, std::string_view path,
                              const Stamp& now) {
    return VolumeEditor({image.begin(), image.end()}).MakeFolder(path, now);
}

ReplaceStages StageRemove(std::span<const std::byte> image, std::string_view path) {
    return VolumeEditor({image.begin(), image.end()}).Remove(path);
}

}  // namespace quarnex::fat12
