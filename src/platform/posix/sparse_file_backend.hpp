#pragma once
// Keeps the regular files the terminal tool writes sparse: a piece of zeros
// that the file already holds (a hole, or bytes past its end) is stepped over
// instead of written. Stores are mostly zeros, so a new whole-store file or a
// backup costs a few megabytes instead of 1.5 GB. Block devices and reads
// pass straight through.

#include <cstddef>
#include <memory>
#include <string>

#include "ports/forwarding_backend.hpp"

namespace quarnex {

// Pieces of this size are tested for zeros; large enough that the test is
// cheap, small enough to find the gaps between FAT areas.
inline constexpr std::size_t kSparsePieceBytes = 4096;

class SparseFileBackend final : public ForwardingBackend {
  public:
    using ForwardingBackend::ForwardingBackend;

    OpenResult Open(const std::string& path, Access access, Disposition disposition) override;
};

}  // namespace quarnex
