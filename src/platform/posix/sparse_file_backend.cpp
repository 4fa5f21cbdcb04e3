#include "platform/posix/sparse_file_backend.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "core/all_zero.hpp"
#include "platform/posix/file_zero_probe.hpp"

namespace quarnex {

namespace {

class SparseWritingFile final : public DeviceFile {
  public:
    SparseWritingFile(std::unique_ptr<DeviceFile> inner, std::uint64_t length)
        : inner_(std::move(inner)), probe_(inner_->Path()), length_(length) {}
    ~SparseWritingFile() override { Extend(); }
    SparseWritingFile(const SparseWritingFile&) = delete;
    SparseWritingFile& operator=(const SparseWritingFile&) = delete;

    int Seek(std::uint64_t position) override {
        const int error = inner_->Seek(position);
        if (error == 0) {
            position_ = position;
            innerPosition_ = position;
        }
        return error;
    }

    IoResult Read(std::byte* destination, std::size_t count) override {
        if (const int error = SyncPosition(); error != 0) {
            return IoResult{0, error};
        }
        IoResult result = inner_->Read(destination, count);
        // Zeros stepped over past the end are part of the file already.
        if (result.error == 0 && result.bytes < count && position_ + result.bytes < pendingEnd_) {
            const std::size_t fill = static_cast<std::size_t>(std::min<std::uint64_t>(
                count - result.bytes, pendingEnd_ - position_ - result.bytes));
            std::fill_n(destination + result.bytes, fill, std::byte{0});
            result.bytes += fill;
            innerPosition_ = kUnknown;
        } else {
            innerPosition_ = position_ + result.bytes;
        }
        position_ += result.bytes;
        return result;
    }

    IoResult Write(const std::byte* source, std::size_t count) override {
        IoResult result;
        while (result.bytes < count) {
            const std::byte* data = source + result.bytes;
            const std::size_t piece = std::min(kSparsePieceBytes, count - result.bytes);
            if (Skippable(data, piece, position_)) {
                position_ += piece;
                pendingEnd_ = std::max(pendingEnd_, position_);
                result.bytes += piece;
                continue;
            }
            // The pieces that must be written go out in one write.
            std::size_t run = piece;
            while (result.bytes + run < count) {
                const std::size_t next = std::min(kSparsePieceBytes, count - result.bytes - run);
                if (Skippable(data + run, next, position_ + run)) {
                    break;
                }
                run += next;
            }
            if (const int error = SyncPosition(); error != 0) {
                result.error = error;
                return result;
            }
            const IoResult written = inner_->Write(data, run);
            const bool complete = written.error == 0 && written.bytes == run;
            probe_.Written(position_, complete ? data : nullptr, run);
            result.bytes += written.bytes;
            position_ += written.bytes;
            innerPosition_ = position_;
            length_ = std::max(length_, position_);
            if (!complete) {
                result.error = written.error;
                return result;
            }
        }
        return result;
    }

    int Flush() override {
        if (const int error = Extend(); error != 0) {
            return error;
        }
        return inner_->Flush();
    }

    int Commit() override {
        if (const int error = Extend(); error != 0) {
            return error;
        }
        return inner_->Commit();
    }

    // Zeros not yet put into the file are read as zeros whatever the cache holds.
    int ForgetCached(std::uint64_t offset, std::uint64_t length) override {
        return inner_->ForgetCached(offset, length);
    }
    int Dismount() override { return inner_->Dismount(); }
    bool HasFloppyGeometry() override { return inner_->HasFloppyGeometry(); }
    const std::string& Path() const override { return inner_->Path(); }

  private:
    static constexpr std::uint64_t kUnknown = UINT64_MAX;

    int SyncPosition() {
        if (innerPosition_ == position_) {
            return 0;
        }
        const int error = inner_->Seek(position_);
        if (error == 0) {
            innerPosition_ = position_;
        }
        return error;
    }

    // A piece of zeros where the file already reads as zeros: past its end
    // it will once it is extended; inside it the probe tells.
    bool Skippable(const std::byte* data, std::size_t count, std::uint64_t position) {
        if (!AllZero(data, count)) {
            return false;
        }
        if (position >= length_) {
            return true;
        }
        return probe_.ReadsZeros(
            position, static_cast<std::size_t>(std::min<std::uint64_t>(count, length_ - position)));
    }

    // Writes the last stepped-over zero so that the file has its full length.
    int Extend() {
        if (pendingEnd_ <= length_) {
            return 0;
        }
        position_ = pendingEnd_ - 1;
        if (const int error = SyncPosition(); error != 0) {
            return error;
        }
        const std::byte zero{0};
        const IoResult written = inner_->Write(&zero, 1);
        probe_.Written(position_, written.bytes == 1 ? &zero : nullptr, 1);
        if (written.error != 0 || written.bytes != 1) {
            return written.error != 0 ? written.error : ENOSPC;
        }
        length_ = pendingEnd_;
        position_ = pendingEnd_;
        innerPosition_ = pendingEnd_;
        return 0;
    }

    std::unique_ptr<DeviceFile> inner_;
    FileZeroProbe probe_;
    std::uint64_t length_;  // bytes the file really holds
    std::uint64_t position_ = 0;
    std::uint64_t innerPosition_ = 0;
    std::uint64_t pendingEnd_ = 0;  // end of the zeros stepped over
};

}  // namespace

OpenResult SparseFileBackend::Open(const std::string& path, Access access,
                                   Disposition disposition) {
    // A replacement is a new regular file even while the old is none.
    const bool replacing = disposition == Disposition::Replace;
    OpenResult opened = Inner().Open(path, access, disposition);
    std::error_code ec;
    if (!opened.file || access == Access::Read ||
        (!replacing && !std::filesystem::is_regular_file(path, ec))) {
        return opened;
    }
    std::uint64_t length = 0;
    if (disposition != Disposition::Replace) {
        const LengthResult size = Inner().FileLength(path);
        if (!size.length) {
            return opened;  // cannot tell what the file holds: write everything
        }
        length = *size.length;
    }
    opened.file = std::make_unique<SparseWritingFile>(std::move(opened.file), length);
    return opened;
}

}  // namespace quarnex
