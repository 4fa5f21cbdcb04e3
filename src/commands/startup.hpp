#pragma once
// The plain steps of start-up: buffers and the program folder, as the
// window and the terminal tool take them.

#include <string>

#include "commands/program_state.hpp"
#include "ports/ui.hpp"

namespace quarnex {

// AllocateBuffers, and on failure the message that ends the program.
bool AllocateBuffersOrExplain(ProgramState& state, Ui& ui, const BufferAllocator& allocate = {});

// appFolder: the folder of the template and the help, as the platform found
// it (ProgramPaths::DataFolder).
void GetProgramPaths(ProgramState& state, const std::string& dataFolder);

}  // namespace quarnex
