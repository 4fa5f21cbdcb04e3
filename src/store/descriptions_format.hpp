#pragma once
// The text of a descriptions file: reading its lines into the grid and the
// tables, deriving a base ID from the loaded Disk IDs, and composing the file.

#include <string>
#include <string_view>

#include "state/program_state.hpp"

namespace quarnex {

// Lines 1..7 of every descriptions file.
std::string DescriptionsHeader(std::string_view name);
// "--- IDN>[base]" or "---  ID>[base]", with its line end.
std::string BaseLine(const ProgramState& state);

// Applies the file's lines in order to the base ID, column 2, the row heights
// and the tables. Stops at the first line that makes the file unusable (a
// negative slot number) and returns false; what was read until then stays.
bool ApplyDescriptions(ProgramState& state, std::string_view text);

// Sets BaseId and its flags from column 1 of rows 1..999: eleven agreeing rows
// in a row establish a numbered or unnumbered base.
void DeriveBaseId(ProgramState& state);

// The whole file the writer produces for name, from the grid and the tables.
std::string ComposeDescriptions(const ProgramState& state, std::string_view name);

}  // namespace quarnex
