#include "commands/program_state.hpp"

#include "core/media_sizes.hpp"
#include "core/text.hpp"

namespace quarnex {

bool AllocateBuffers(ProgramState& state, const BufferAllocator& allocate) {
    auto get = [&](AlignedBuffer& buffer, std::size_t size) {
        return allocate ? allocate(buffer, size) : buffer.Allocate(size);
    };
    if (!get(state.imageBuffer, kImageBytes)) {
        state.imageBuffer.Free();
        return false;
    }
    if (!get(state.transferBuffer, kSlotStride)) {
        state.transferBuffer.Free();
        state.imageBuffer.Free();
        return false;
    }
    return true;
}

void FreeBuffers(ProgramState& state) {
    state.transferBuffer.Free();
    state.imageBuffer.Free();
}

}  // namespace quarnex
