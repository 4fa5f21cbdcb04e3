#include "core/aligned_buffer.hpp"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace quarnex {

AlignedBuffer::~AlignedBuffer() {
    Free();
}

AlignedBuffer::AlignedBuffer(AlignedBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

AlignedBuffer& AlignedBuffer::operator=(AlignedBuffer&& other) noexcept {
    if (this != &other) {
        Free();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

bool AlignedBuffer::Allocate(std::size_t size) {
    Free();
    const std::size_t rounded = (size + kAlignment - 1) / kAlignment * kAlignment;
    void* memory = std::aligned_alloc(kAlignment, rounded == 0 ? kAlignment : rounded);
    if (memory == nullptr) {
        return false;
    }
    std::memset(memory, 0, rounded == 0 ? kAlignment : rounded);
    data_ = static_cast<std::byte*>(memory);
    size_ = size;
    return true;
}

void AlignedBuffer::Free() {
    std::free(data_);
    data_ = nullptr;
    size_ = 0;
}

}  // namespace quarnex
