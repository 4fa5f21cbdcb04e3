#pragma once
// A volume changed step by step: checked once for writing, then any number
// of changes staged against its copy, each applied to the copy as it is
// staged. Changes staged in one batch can be merged (MergeStages) and put on
// the medium together, step by step, because a change in a batch never takes
// the clusters that an earlier one of the same batch frees in its last step.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fat12/fat12_volume.hpp"
#include "fat12/volume_layout.hpp"

namespace quarnex::fat12 {

class VolumeEditor {
  public:
    // Checks the volume as CheckForWriting does; every change is refused
    // with that status when it fails.
    explicit VolumeEditor(std::vector<std::byte> image);

    Status CheckStatus() const { return status_; }
    const std::string& CheckDetail() const { return detail_; }
    // The volume with every change staged so far.
    std::span<const std::byte> Image() const { return image_; }

    // As StageFileWrite, StageMakeFolder and StageRemove; a file written
    // with modified takes that as its modification time instead of now.
    ReplaceStages WriteFile(std::string_view path, std::string_view contents, const Stamp& now,
                            const std::optional<Stamp>& modified = std::nullopt);
    ReplaceStages MakeFolder(std::string_view path, const Stamp& now);
    ReplaceStages Remove(std::string_view path);

    // The changes staged so far are on the medium: later ones may use the
    // clusters they freed.
    void NewBatch();

  private:
    std::vector<std::byte> image_;
    Layout layout_;
    Status status_ = Status::Ok;
    std::string detail_;
    std::vector<bool> freedInBatch_;  // by cluster
};

}  // namespace quarnex::fat12
