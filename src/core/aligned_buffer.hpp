#pragma once
// A zero-filled, page-aligned block of memory that keeps its address for its
// whole life (so direct I/O stays possible).

#include <cstddef>
#include <span>

namespace quarnex {

class AlignedBuffer {
  public:
    static constexpr std::size_t kAlignment = 4096;

    AlignedBuffer() = default;
    ~AlignedBuffer();
    AlignedBuffer(AlignedBuffer&& other) noexcept;
    AlignedBuffer& operator=(AlignedBuffer&& other) noexcept;
    AlignedBuffer(const AlignedBuffer&) = delete;
    AlignedBuffer& operator=(const AlignedBuffer&) = delete;

    // Allocates size zero-filled bytes; false (and empty) when memory is short.
    bool Allocate(std::size_t size);
    void Free();

    bool Empty() const { return data_ == nullptr; }
    std::byte* Data() { return data_; }
    const std::byte* Data() const { return data_; }
    std::size_t Size() const { return size_; }
    std::span<std::byte> Span() { return {data_, size_}; }
    std::span<const std::byte> Span() const { return {data_, size_}; }

  private:
    void* block_ = nullptr;  // as allocated; data_ lies aligned inside it
    std::byte* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace quarnex
