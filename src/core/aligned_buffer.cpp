#include "core/aligned_buffer.hpp"

#include <cstdint>
#include <cstdlib>
#include <utility>

namespace quarnex {

AlignedBuffer::~AlignedBuffer() {
    Free();
}

AlignedBuffer::AlignedBuffer(AlignedBuffer&& other) noexcept
    : block_(std::exchange(other.block_, nullptr)),
      data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)) {}

AlignedBuffer& AlignedBuffer::operator=(AlignedBuffer&& other) noexcept {
    if (this != &other) {
        Free();
        block_ = std::exchange(other.block_, nullptr);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

bool AlignedBuffer::Allocate(std::size_t size) {
    Free();
    // calloc rather than a fill: large blocks come zeroed from the system,
    // so the pages are not all touched at start-up.
    void* block = std::calloc(size + kAlignment, 1);
    if (block == nullptr) {
        return false;
    }
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    block_ = block;
    data_ = reinterpret_cast<std::byte*>((address + kAlignment - 1) / kAlignment * kAlignment);
    size_ = size;
    return true;
}

void AlignedBuffer::Free() {
    std::free(block_);
    block_ = nullptr;
    data_ = nullptr;
    size_ = 0;
}

}  // namespace quarnex
