#include "state/program_state.hpp"

#include "core/media_sizes.hpp"
#include "core/text.hpp"

namespace quarnex {

bool AllocateBuffers(ProgramState& state, const BufferAllocator& allocate) {
    auto get = [&](AlignedBuffer& buffer, std::size_t size) {
        return allocate ? allocate(buffer, size) : buffer.Allocate(size);
    };
    if (!get(state.InternalImage, kImageBytes)) {
        state.InternalImage.Free();
        return false;
    }
    if (!get(state.TransferBuffer, kSlotStride)) {
        state.TransferBuffer.Free();
        state.InternalImage.Free();
        return false;
    }
    return true;
}

void FreeBuffers(ProgramState& state) {
    state.TransferBuffer.Free();
    state.InternalImage.Free();
}

}  // namespace quarnex
