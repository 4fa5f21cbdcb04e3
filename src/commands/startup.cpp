#include "commands/startup.hpp"

#include "core/text.hpp"

namespace quarnex {

bool AllocateBuffersOrExplain(ProgramState& state, Ui& ui, const BufferAllocator& allocate) {
    if (AllocateBuffers(state, allocate)) {
        return true;
    }
    ui.ShowMessage(MessageRequest{
        "RorUve", "Allocation Of Buffers Failed." + std::string(kCrLf) + "Program Will Exit.",
        MessageButtons::Ok, MessageIcon::Exclamation});
    return false;
}

void GetProgramPaths(ProgramState& state, const std::string& dataFolder) {
    state.appFolder = dataFolder;
}

}  // namespace quarnex
